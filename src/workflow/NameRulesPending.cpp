// Placeholders until name generation and matching are available.
#include "workflow/NameRules.h"

namespace lumatag {

Status GenerateFromPattern(const NamingPattern&, const PhotoFacts&, std::u16string_view, bool,
                           std::uint32_t, CountedString&) {
  return E_NOTIMPL;
}
std::uint32_t PatternSequenceStart(const NamingPattern&, bool, bool* found) {
  *found = false;
  return 0;
}
Status ReadNameWith(const NamingPattern&, PhotoFacts&, std::u16string_view, const ExtensionList&,
                    NameReading* reading) {
  *reading = NameReading();
  return S_OK;
}
Status FindBestName(const PatternCatalogue&, bool, PhotoFacts&, std::u16string_view,
                    const ExtensionList&, std::uint16_t* best, NameReading* reading) {
  *best = 0xFFFF;
  *reading = NameReading();
  reading->baseLength = 0xFFFF;
  return S_OK;
}

}  // namespace lumatag
