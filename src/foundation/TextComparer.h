// Locale-neutral text comparison through the platform's comparer port.
#pragma once

#include <string_view>

#include "platform/TextComparer.h"

namespace lumatag {

// → -1, 0, +1 through the installed comparer (the platform's own unless a test installed another).
int CompareInvariant(std::u16string_view a, std::u16string_view b, bool ignoreCase);

// Installs a comparer; nothing restores the platform's own.
void SetTextComparer(const TextComparer* comparer);

}  // namespace lumatag
