#include "patterns/Classification.h"

#include "patterns/PatternCatalogue.h"

namespace lumatag {

Status ClassifyName(const PatternCatalogue&, PhotoFacts* photo, const PhotoExtensionLookup*,
                    const DateLocale*) {
  if (photo == nullptr) return E_INVALIDARG;
  return E_NOTIMPL;
}

}  // namespace lumatag
