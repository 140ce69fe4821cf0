// Port: the user's standard folders.
#pragma once

#include <string>

#include "foundation/Status.h"

namespace lumatag {

class StandardFolders {
 public:
  virtual ~StandardFolders() = default;
  // The user's pictures folder; a failure when the platform names none.
  virtual Status PicturesFolder(std::u16string* folder) = 0;
};

}  // namespace lumatag
