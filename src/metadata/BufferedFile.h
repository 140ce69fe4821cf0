// A file read (and, for the XML stream, written) through one 1,024-byte window. Seeks that land
// inside the window only move the position; everything else goes to the platform.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "foundation/PrivateHeap.h"
#include "foundation/Status.h"
#include "foundation/SystemTime.h"
#include "ports/ReadableFile.h"

namespace lumatag {

class BufferedFile {
 public:
  static constexpr std::uint32_t kBufferSize = 1024;

  enum SeekOrigin { kFromStart = 0, kFromCurrent = 1 };

  BufferedFile() = default;
  ~BufferedFile() { IgnoreStatus(Close()); }  // a read-only file has nothing to lose on close
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  // Allocates the buffer from `heap`. An empty heap gives E_INVALIDARG; an open file E_UNEXPECTED.
  Status Attach(PrivateHeap* heap);
  // Opens an existing file for reading; the window starts empty at offset 0. Needs Attach first
  // (else E_UNEXPECTED); an open file is closed first.
  Status OpenForReading(const ReadableFileSystem& files, std::u16string_view path);
  // The same for a file the caller has opened already; an empty `file` gives E_INVALIDARG.
  Status Open(std::unique_ptr<ReadableFile> file);

  // Copies min(count, capacity) bytes to `destination`. Success when at least one byte arrived
  // (`*read` tells how many); E_END_OF_DATA when none did.
  Status Read(std::uint32_t count, void* destination, std::uint32_t capacity,
              std::uint32_t* read = nullptr);
  // Copies `count` bytes at file offset `offset` without moving the position: from the window when
  // the range lies inside it, else straight from the file, leaving the window as it is (so that a
  // reader coming back to where it was costs no second read). `*read` tells how many arrived;
  // E_END_OF_DATA when none did.
  Status ReadAt(std::uint32_t offset, std::uint32_t count, void* destination, std::uint32_t* read);
  Status Seek(std::int64_t distance, SeekOrigin origin);
  Status Position(std::uint32_t* position) const;
  Status Size(std::uint32_t* size) const;
  Status Write(const void* bytes, std::uint32_t count);
  // The time of the last write as local calendar fields.
  Status LastWriteTime(SystemTime* local) const;
  // Stores written bytes, closes the file and frees the buffer. Safe on a closed object.
  Status Close();

  bool IsOpen() const { return file_ != nullptr; }

 private:
  Status Refill();
  Status Flush();

  PrivateHeap* heap_ = nullptr;
  std::unique_ptr<ReadableFile> file_;
  std::uint8_t* buffer_ = nullptr;
  std::uint32_t bufferStart_ = 0;
  std::uint32_t valid_ = 0;
  std::uint32_t position_ = 0;
  bool dirty_ = false;
};

}  // namespace lumatag
