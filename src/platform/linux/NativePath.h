// File names between the program's UTF-16 text and the bytes of a Linux file system. Names that
// are not valid UTF-8 survive the round trip: each byte that cannot be decoded is carried as the
// lone surrogate U+DC80-U+DCFF and written back as that byte, so such a file can still be renamed.
#pragma once

#include <string>
#include <string_view>

namespace lumatag {

std::string ToNativePath(std::u16string_view path);
std::u16string FromNativePath(std::string_view bytes);

}  // namespace lumatag
