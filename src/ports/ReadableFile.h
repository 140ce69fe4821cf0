// Port: files opened for reading. A file keeps its own position; reads and writes start there and
// move it. Offsets are 32-bit: files of 4 GiB or more are outside what the program reads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/Path.h"
#include "foundation/Status.h"
#include "foundation/SystemTime.h"

namespace lumatag {

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;

  // Reads up to `count` bytes at the current position; `*read` tells how many arrived (0 at the
  // end of the file) and the position moves past them.
  virtual Status Read(void* destination, std::uint32_t count, std::uint32_t* read) = 0;
  // Writes at the current position; files opened for reading refuse with a failure.
  virtual Status Write(const void* source, std::uint32_t count, std::uint32_t* written) = 0;
  // Moves the position to `offset` bytes from the start of the file.
  virtual Status Seek(std::uint32_t offset) = 0;
  // The size of the file in bytes; a file of 4 GiB or more reports 0xFFFFFFFF.
  virtual Status Size(std::uint32_t* size) = 0;
  // The time of the last write (UTC file time), and the same as local calendar fields.
  virtual Status LastWriteTime(FileTime* time) = 0;
  virtual Status LastWriteTimeLocal(SystemTime* fields) = 0;
  // The creation time (the last write time where the file system keeps none) and the last write
  // time (UTC file times) and the size, as they were when the file was opened: no request to the
  // file system. E_NOTIMPL where the file cannot tell.
  virtual Status OpenedDetails(FileTime* creation, FileTime* lastWrite, std::uint64_t* size) {
    (void)creation;
    (void)lastWrite;
    (void)size;
    return E_NOTIMPL;
  }
};

// A folder whose files are opened by name, relative to the folder already open rather than by a
// path walked again for every file.
class ReadableFolder {
 public:
  virtual ~ReadableFolder() = default;
  // Opens the file `name` of the folder for reading, as ReadableFileSystem::OpenForReading opens
  // the folder's path joined with `name`. `nativeName`, when not empty, is the same name as the
  // folder listing spelled it (FolderEntry::nativeName) and is used as it stands.
  virtual Status OpenForReading(std::u16string_view name, std::string_view nativeName,
                                std::unique_ptr<ReadableFile>* file) const = 0;
};

class ReadableFileSystem {
 public:
  virtual ~ReadableFileSystem() = default;
  // Opens an existing file for reading, shared with other readers. A missing file gives
  // E_FILE_NOT_FOUND, a missing folder E_PATH_NOT_FOUND, other failures the platform's error.
  virtual Status OpenForReading(std::u16string_view path,
                                std::unique_ptr<ReadableFile>* file) const = 0;
  // Opens `folder` for opening its files by name. By default each file is opened by the folder's
  // path joined with its name (the separator added unless the path ends in one); a folder that
  // cannot be opened fails here or, by default, at each file.
  virtual Status OpenFolder(std::u16string_view folder,
                            std::unique_ptr<ReadableFolder>* opened) const;
  // Whether files may be opened and read (through this object, its folders and its files) on
  // several threads at once.
  virtual bool ReadsInParallel() const { return false; }
};

// The folder path joined with a file name by the platform's separator (none added after a path
// that already ends in one; on Windows, nor after a drive's colon).
std::u16string JoinFolderAndName(std::u16string_view folder, std::u16string_view name);

}  // namespace lumatag
