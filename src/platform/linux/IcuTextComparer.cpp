// The locale-neutral comparison over ICU's root collator. Punctuation is not ignorable (hyphens and
// apostrophes count); case is compared at the tertiary strength and ignored at the secondary one.
#include <unicode/ucol.h>

#include <memory>
#include <string>

#include "platform/linux/IcuTextComparer.h"

namespace lumatag {

namespace {

struct CollatorCloser {
  void operator()(UCollator* c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

CollatorPtr OpenRoot(UColAttributeValue strength) {
  UErrorCode error = U_ZERO_ERROR;
  CollatorPtr collator(ucol_open("", &error));
  if (U_FAILURE(error)) return nullptr;
  ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &error);
  ucol_setAttribute(collator.get(), UCOL_STRENGTH, strength, &error);
  return collator;
}

class IcuTextComparer final : public TextComparer {
 public:
  IcuTextComparer() : exact_(OpenRoot(UCOL_TERTIARY)), folded_(OpenRoot(UCOL_SECONDARY)) {}

  int Compare(std::u16string_view a, std::u16string_view b, bool ignoreCase) const override {
    const UCollator* collator = ignoreCase ? folded_.get() : exact_.get();
    if (collator == nullptr) return a < b ? -1 : (a == b ? 0 : 1);
    const UCollationResult r = ucol_strcoll(collator, a.data(), static_cast<int32_t>(a.size()),
                                            b.data(), static_cast<int32_t>(b.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
  }

  void AppendSortKey(std::u16string_view text, bool ignoreCase, std::string* key) const override {
    const UCollator* collator = ignoreCase ? folded_.get() : exact_.get();
    const std::size_t start = key->size();
    if (collator == nullptr) {
      // Matches Compare's fallback: code units in order, big-endian.
      for (char16_t c : text) {
        key->push_back(static_cast<char>(c >> 8));
        key->push_back(static_cast<char>(c & 0xFF));
      }
      return;
    }
    // A key is rarely more than a few bytes per character; one more call when it is.
    std::size_t room = 4 * text.size() + 16;
    for (;;) {
      key->resize(start + room);
      const int32_t needed = ucol_getSortKey(
          collator, text.data(), static_cast<int32_t>(text.size()),
          reinterpret_cast<uint8_t*>(key->data() + start), static_cast<int32_t>(room));
      if (needed <= 0) {
        key->resize(start);
        return;
      }
      if (static_cast<std::size_t>(needed) <= room) {
        // The key ends in a zero byte that no key has inside it: dropped, the order is the same.
        key->resize(start + static_cast<std::size_t>(needed) - 1);
        return;
      }
      room = static_cast<std::size_t>(needed);
    }
  }

 private:
  CollatorPtr exact_;
  CollatorPtr folded_;
};

}  // namespace

const TextComparer& PlatformTextComparer() {
  static const IcuTextComparer comparer;
  return comparer;
}

}  // namespace lumatag
