#include "foundation/TextComparer.h"

namespace lumatag {

namespace {
const TextComparer* g_comparer = nullptr;
}

int CompareInvariant(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  const TextComparer& comparer = g_comparer != nullptr ? *g_comparer : PlatformTextComparer();
  return comparer.Compare(a, b, ignoreCase);
}

void SetTextComparer(const TextComparer* comparer) {
  g_comparer = comparer;
}

}  // namespace lumatag
