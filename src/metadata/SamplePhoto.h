// The fixed sample photo that pattern previews are generated from.
#pragma once

#include "foundation/StringTable.h"
#include "metadata/PhotoFacts.h"

namespace lumatag {

// Sets `photo` up as the sample: file name "IMG_1234.JPG", the given file date (the previews pass
// the local time at which they open), and a typical camera's metadata whose texts come from
// `strings`. On failure the record is cleared.
Status BuildSamplePhoto(PhotoFacts* photo, PrivateHeap* heap, const StringModule& strings,
                        const SystemTime& fileDate);

}  // namespace lumatag
