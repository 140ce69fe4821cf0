// The locale-neutral comparison over ICU's root collator. Punctuation is not ignorable (hyphens and
// apostrophes count); case is compared at the tertiary strength and ignored at the secondary one.
#include <unicode/ucol.h>

#include <memory>

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
