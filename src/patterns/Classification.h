// Deciding whether a photo in the working folder still carries its camera's name (unnamed) or
// was named by a pattern, as the folder scan does for every photo it lists.
#pragma once

#include "metadata/PhotoFacts.h"
#include "patterns/DatePicture.h"
#include "patterns/PhotoExtensionLookup.h"

namespace lumatag {

class PatternCatalogue;

// Classifies the photo by its file name and stores the answer in the record: pattern index,
// base-name start and length, number, the unnamed flags (bits 0 and 1, both set for an unnamed
// photo, both cleared otherwise) and the classification flags.
//   1. The photo is first marked named (original-found and original-is-current cleared), so that
//      matching looks for a camera name embedded in the file name.
//   2. FindBestPattern over the catalogue's naming patterns. A match without a base name makes
//      the photo named with that match.
//   3. Otherwise (a base name, or no match) the Automatic list decides: a camera-generated name
//      makes the photo unnamed, with the Automatic pattern's index, the camera name's number and
//      original-is-current set. Else the photo is named with the values of step 2 (pattern index
//      kNoPatternIndex and zeros when nothing matched).
//   4. A photo still marked named at the end has all three classification flags cleared; one in
//      whose name a camera name was found keeps original-found.
// E_INVALIDARG for a missing photo; a failure of matching is returned after the photo was
// classified as named with what was found.
Status ClassifyName(const PatternCatalogue& catalogue, PhotoFacts* photo,
                    const PhotoExtensionLookup* extensions, const DateLocale* locale = nullptr);

}  // namespace lumatag
