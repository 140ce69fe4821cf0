// The program's own product name and version number, compiled in from the build; the update check
// compares the version document against them.
#pragma once

#include <string_view>

namespace lumatag {

std::u16string_view OwnProductName();
std::u16string_view OwnProductVersion();

}  // namespace lumatag
