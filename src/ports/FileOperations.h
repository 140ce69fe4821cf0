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
  // The name's bytes as the file system spells them, where the listing gives them, so that the
  // file can be opened without converting `name` back (ReadableFolder); empty otherwise.
  std::string nativeName;
  // Whether the times and the size above are filled in. A listing of names (OpenNameListing) may
  // leave them out for entries whose type it knows without asking the file system;
  // FolderListing::Details fills them in.
  bool detailsKnown = true;
};

class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // The next entry ("." and ".." never come); E_NO_MORE_FILES at the end.
  virtual Status Next(FolderEntry* entry) = 0;
  // Fills in the times and the size of `entry`, an entry this listing returned, when they were
  // left out. A file that has gone since it was listed gives E_FILE_NOT_FOUND.
  virtual Status Details(FolderEntry* entry) { return entry->detailsKnown ? S_OK : E_NOTIMPL; }
  // How many threads read the listed files at once, for a listing that paces itself by the
  // caller's steps.
  virtual void SetReaders(int readers) { (void)readers; }
};

class FileOperations {
 public:
  virtual ~FileOperations() = default;
  // Starts a listing of `folder` (with or without a trailing separator). A folder that does not
  // exist gives E_PATH_NOT_FOUND.
  virtual Status OpenListing(std::u16string_view folder,
                             std::unique_ptr<FolderListing>* listing) = 0;
  // The same listing, allowed to leave out the times and sizes of entries whose type it knows
  // without a request per file (FolderEntry::detailsKnown), for a caller that reads them from the
  // opened file instead. By default the full listing.
  virtual Status OpenNameListing(std::u16string_view folder,
                                 std::unique_ptr<FolderListing>* listing) {
    return OpenListing(folder, listing);
  }
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
