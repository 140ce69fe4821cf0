// Port: the locale-neutral text comparison (string sort: hyphens and apostrophes count like other
// characters), optionally ignoring case.
#pragma once

#include <string>
#include <string_view>

#include "foundation/CountedString.h"

namespace lumatag {

class TextComparer {
 public:
  virtual ~TextComparer() = default;
  // → -1, 0 or +1.
  virtual int Compare(std::u16string_view a, std::u16string_view b, bool ignoreCase) const = 0;
  // Appends to `key` the bytes of `text`'s sort key: two keys made with the same `ignoreCase`
  // compare as unsigned bytes (std::string's own order) exactly as Compare compares their texts.
  // Sorting many texts on keys made once each costs one collation per text instead of one per
  // comparison.
  virtual void AppendSortKey(std::u16string_view text, bool ignoreCase, std::string* key) const = 0;
};

// → -1, 0, +1 through the comparer the application context installed. Without one, texts compare
// by UTF-16 code units (ASCII letters folded when ignoring case), so a program that wires none in
// still sorts consistently.
int CompareInvariant(std::u16string_view a, std::u16string_view b, bool ignoreCase);
// The sort key of `text` through the same comparer (see TextComparer::AppendSortKey), appended to
// `key`.
void AppendInvariantSortKey(std::u16string_view text, bool ignoreCase, std::string* key);
// The same for a string against a NUL-terminated text: a missing text compares as 1 when `a` is
// non-empty, else 0.
int CompareInvariant(const CountedString& a, const char16_t* other, bool ignoreCase);

}  // namespace lumatag
