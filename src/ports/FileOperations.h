// Port: the file-system operations of the photo workflow — listing a folder, moving (renaming) a
// file without ever replacing another by accident, and moving a file to the recycle bin.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/Status.h"
#include "foundation/SystemTime.h"

namespace lumatag {

struct FolderEntry {
  std::u16string name;  // the name alone, without the folder
  bool folder = false;
  FileTime creationTime = 0;  // when the file system does not keep it, the last write time
  FileTime lastWriteTime = 0;
  std::uint64_t size = 0;
};

class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // The next entry ("." and ".." never come); E_NO_MORE_FILES at the end.
  virtual Status Next(FolderEntry* entry) = 0;
};

class FileOperations {
 public:
  virtual ~FileOperations() = default;
  // Starts a listing of `folder` (with or without a trailing separator). A folder that does not
  // exist gives E_PATH_NOT_FOUND.
  virtual Status OpenListing(std::u16string_view folder,
                             std::unique_ptr<FolderListing>* listing) = 0;
  // Moves `from` to `to`, across file systems too. Without `replaceExisting` an existing target is
  // never touched: the move fails with E_FILE_EXISTS. With it, the target is replaced in one step.
  virtual Status Move(std::u16string_view from, std::u16string_view to, bool replaceExisting) = 0;
  // Moves the file to the desktop's recycle bin (trash).
  virtual Status Recycle(std::u16string_view path) = 0;
};

// Port: the folder-selection dialog of a front-end. Returns the chosen folder (with a trailing
// separator) or E_CANCELLED.
class FolderChooser {
 public:
  virtual ~FolderChooser() = default;
  virtual Status Choose(std::u16string_view startFolder, std::u16string* folder) = 0;
};

}  // namespace lumatag
