// An in-memory file system for tests: files are byte vectors; every call on a file is counted so
// that tests can see how often the platform was asked.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/ReadableFile.h"

namespace lumatag {

class MemoryFileSystem final : public ReadableFileSystem {
 public:
  struct Entry {
    std::vector<std::uint8_t> bytes;
    FileTime lastWrite = 0;
    SystemTime lastWriteLocal;
    bool writable = false;
    Status openFailure = S_OK;  // returned by OpenForReading when set
  };
  struct Counters {
    int opens = 0;
    int reads = 0;
    int seeks = 0;
    int writes = 0;
    int sizes = 0;
  };

  Entry& Add(const std::u16string& path, std::vector<std::uint8_t> bytes) {
    Entry& entry = files_[path];
    entry.bytes = std::move(bytes);
    return entry;
  }
  Entry* Find(const std::u16string& path) {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
  }

  Status OpenForReading(std::u16string_view path,
                        std::unique_ptr<ReadableFile>* file) const override {
    file->reset();
    auto it = files_.find(std::u16string(path));
    if (it == files_.end()) return E_FILE_NOT_FOUND;
    if (Failed(it->second.openFailure)) return it->second.openFailure;
    ++counters.opens;
    file->reset(new File(it->second, counters));
    return S_OK;
  }

  mutable Counters counters;

 private:
  class File final : public ReadableFile {
   public:
    File(Entry& entry, Counters& counters) : entry_(entry), counters_(counters) {}
    Status Read(void* destination, std::uint32_t count, std::uint32_t* read) override {
      ++counters_.reads;
      const std::size_t size = entry_.bytes.size();
      const std::size_t n = position_ >= size ? 0 : std::min<std::size_t>(count, size - position_);
      if (n > 0) std::memcpy(destination, entry_.bytes.data() + position_, n);
      position_ += static_cast<std::uint32_t>(n);
      *read = static_cast<std::uint32_t>(n);
      return S_OK;
    }
    Status Write(const void* source, std::uint32_t count, std::uint32_t* written) override {
      ++counters_.writes;
      *written = 0;
      if (!entry_.writable) return E_ACCESS_DENIED;
      if (entry_.bytes.size() < std::size_t{position_} + count)
        entry_.bytes.resize(position_ + count);
      if (count > 0) std::memcpy(entry_.bytes.data() + position_, source, count);
      position_ += count;
      *written = count;
      return S_OK;
    }
    Status Seek(std::uint32_t offset) override {
      ++counters_.seeks;
      position_ = offset;
      return S_OK;
    }
    Status Size(std::uint32_t* size) override {
      ++counters_.sizes;
      *size = static_cast<std::uint32_t>(entry_.bytes.size());
      return S_OK;
    }
    Status LastWriteTime(FileTime* time) override {
      *time = entry_.lastWrite;
      return S_OK;
    }
    Status LastWriteTimeLocal(SystemTime* fields) override {
      *fields = entry_.lastWriteLocal;
      return S_OK;
    }

   private:
    Entry& entry_;
    Counters& counters_;
    std::uint32_t position_ = 0;
  };

  mutable std::map<std::u16string, Entry> files_;
};

}  // namespace lumatag
