#include "foundation/AppContext.h"
#include "ports/TextComparer.h"

namespace lumatag {

namespace {

char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

int CompareCodeUnits(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = ignoreCase ? FoldAscii(a[i]) : a[i];
    const char16_t y = ignoreCase ? FoldAscii(b[i]) : b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int CompareInvariant(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  const TextComparer* comparer = InstalledTextComparer();
  if (comparer == nullptr) return CompareCodeUnits(a, b, ignoreCase);
  return comparer->Compare(a, b, ignoreCase);
}

int CompareInvariant(const CountedString& a, const char16_t* other, bool ignoreCase) {
  if (other == nullptr) return a.Length() > 0 ? 1 : 0;
  return CompareInvariant(a.View(), std::u16string_view(other), ignoreCase);
}

}  // namespace lumatag
