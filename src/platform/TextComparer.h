// Port: the locale-neutral text comparison (string sort: hyphens and apostrophes count like other
// characters), optionally ignoring case.
#pragma once

#include <string_view>

namespace lumatag {

class TextComparer {
 public:
  virtual ~TextComparer() = default;
  // → -1, 0 or +1.
  virtual int Compare(std::u16string_view a, std::u16string_view b, bool ignoreCase) const = 0;
};

// The platform's own comparison (ICU's root collator on Linux).
const TextComparer& PlatformTextComparer();

}  // namespace lumatag
