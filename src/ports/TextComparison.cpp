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

// Code units big-endian: comparing the bytes compares the code units.
void AppendCodeUnitKey(std::u16string_view text, bool ignoreCase, std::string* key) {
  key->reserve(key->size() + 2 * text.size());
  for (char16_t c : text) {
    const char16_t unit = ignoreCase ? FoldAscii(c) : c;
    key->push_back(static_cast<char>(unit >> 8));
    key->push_back(static_cast<char>(unit & 0xFF));
  }
}

}  // namespace

void AppendInvariantSortKey(std::u16string_view text, bool ignoreCase, std::string* key) {
  const TextComparer* comparer = InstalledTextComparer();
  if (comparer == nullptr) {
    AppendCodeUnitKey(text, ignoreCase, key);
  } else {
    comparer->AppendSortKey(text, ignoreCase, key);
  }
}

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
