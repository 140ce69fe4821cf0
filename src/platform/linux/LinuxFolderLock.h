// The folder lock on Linux: flock on the folder itself, so that every program locks the same
// object however it names the folder, and the lock ends with the program even when it is killed.
#pragma once

#include "ports/FolderLock.h"

namespace lumatag {

class LinuxFolderLocker final : public FolderLocker {
 public:
  Status TryLock(std::u16string_view folder, std::unique_ptr<FolderLock>* lock) override;
};

}  // namespace lumatag
