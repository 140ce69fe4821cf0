// The photo file extension list as name matching sees it: a yes/no question per extension. The
// list itself belongs to the photo folder workflow, which hands an adapter of it to matching.
#pragma once

#include <string_view>

namespace lumatag {

class PhotoExtensionLookup {
 public:
  virtual ~PhotoExtensionLookup() = default;
  // Whether `extension` (the text after the dot, without it) is a photo file extension, compared
  // without regard to case as the list compares.
  virtual bool IsPhotoExtension(std::u16string_view extension) const = 0;
};

}  // namespace lumatag
