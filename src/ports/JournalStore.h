// Port: where the rename journal lives, and what it needs to know about the renamed files.
// The journal is a flat set of named record files, each only ever created whole or appended to;
// the files it speaks of are identified by device, inode, size and modification time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Status.h"

namespace lumatag {

// What makes a file the same file: where it lives on disk, and that its content did not change.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since 1970

  bool operator==(const FileIdentity&) const = default;
};

class JournalStore {
 public:
  virtual ~JournalStore() = default;
  // The identity of the file at `path`, without following a link at its end. E_FILE_NOT_FOUND
  // when nothing is there.
  virtual Status Identify(std::u16string_view path, FileIdentity* identity) = 0;

  // The names of the record files kept (in no particular order).
  virtual Status List(std::vector<std::string>* names) = 0;
  // The whole content of one record file.
  virtual Status Read(std::string_view name, std::string* content) = 0;
  // Creates a record file holding `data`; E_FILE_EXISTS when the name is taken (another instance
  // took it first).
  virtual Status Create(std::string_view name, std::string_view data) = 0;
  // Appends `data` to a record file. With `durable` everything appended so far reaches the disk
  // before the call returns; without it, it survives the process being killed but not a power cut.
  virtual Status Append(std::string_view name, std::string_view data, bool durable) = 0;
  virtual Status Remove(std::string_view name) = 0;
};

}  // namespace lumatag
