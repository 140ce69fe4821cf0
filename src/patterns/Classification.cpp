#include "patterns/Classification.h"

#include "patterns/NameGenerator.h"
#include "patterns/NameMatcher.h"
#include "patterns/PatternCatalogue.h"

namespace lumatag {

namespace {

void StoreNamed(PhotoFacts* photo, const BestPattern& best) {
  photo->flags &= ~(kPhotoUnnamed | kPhotoUnnamedWhenListed);
  photo->patternIndex = best.index;
  photo->baseNameStart = best.baseStart;
  photo->baseNameLength = best.baseLength;
  photo->number = best.number;
}

}  // namespace

Status ClassifyName(const PatternCatalogue& catalogue, PhotoFacts* photo,
                    const PhotoExtensionLookup* extensions, const DateLocale* locale) {
  if (photo == nullptr) return E_INVALIDARG;
  SetClassification(photo, false, true, false);
  const PatternListView naming = PatternListView::Naming(catalogue);
  BestPattern best;
  Status status = FindBestPattern(&naming, photo, &photo->fileName, extensions, &best, locale);
  if (Failed(status) || (best.index != kNoPatternMatched && best.baseLength == 0)) {
    StoreNamed(photo, best);
  } else {
    const PatternListView automatic = PatternListView::AutomaticList(catalogue);
    BestPattern camera;
    status = FindBestPattern(&automatic, photo, &photo->fileName, extensions, &camera, locale);
    if (Succeeded(status) && camera.index != kNoPatternMatched) {
      photo->flags |= kPhotoUnnamed | kPhotoUnnamedWhenListed;
      photo->patternIndex = catalogue.AutomaticIndex();
      photo->baseNameStart = 0;
      photo->baseNameLength = 0;
      photo->number = camera.number;
      SetClassification(photo, true, false, false);
    } else {
      StoreNamed(photo, best);
    }
  }
  // No camera name was found in the file name: nothing is known about the original name.
  if ((photo->flags & kPhotoNamed) != 0) SetClassification(photo, false, false, false);
  return status;
}

}  // namespace lumatag
