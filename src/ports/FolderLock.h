// Port: a lock on a photo folder for the length of a batch rename, respected by every other
// program that renames in the same folder, so that two programs never name photos over each other.
#pragma once

#include <memory>
#include <string_view>

#include "foundation/Status.h"

namespace lumatag {

// Another program holds the folder's lock.
inline constexpr Status E_FOLDER_BUSY = MakeStatus(0x80000531);

// Held while it lives; the lock goes with it.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

class FolderLocker {
 public:
  virtual ~FolderLocker() = default;
  // Takes the lock on `folder` without waiting: E_FOLDER_BUSY when another program holds it.
  virtual Status TryLock(std::u16string_view folder, std::unique_ptr<FolderLock>* lock) = 0;
};

}  // namespace lumatag
