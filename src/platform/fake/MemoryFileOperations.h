// An in-memory file system for tests: files with contents and times, folders, a recycle bin, and
// failures on request.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Path.h"
#include "ports/FileOperations.h"

namespace lumatag {

class MemoryFileOperations final : public FileOperations {
 public:
  struct File {
    std::string content;
    FileTime creationTime = 0;
    FileTime lastWriteTime = 0;
  };

  void AddFolder(std::u16string path) {
    path = Normal(std::move(path));
    while (!path.empty()) {
      folders_.insert(path);
      const int at = FindLastPathSeparator(path);
      path.resize(at < 0 ? 0 : static_cast<std::size_t>(at));
    }
  }
  void AddFile(const std::u16string& path, std::string content = {}, FileTime created = 0) {
    const std::u16string p = Normal(path);
    AddFolder(Parent(p));
    files_[p] = {std::move(content), created, created};
  }
  bool Exists(const std::u16string& path) const { return files_.count(Normal(path)) != 0; }
  const File* Find(const std::u16string& path) const {
    const auto it = files_.find(Normal(path));
    return it == files_.end() ? nullptr : &it->second;
  }
  std::vector<std::u16string> FilesIn(const std::u16string& folder) const {
    std::vector<std::u16string> names;
    const std::u16string f = Normal(folder);
    for (const auto& [path, file] : files_) {
      if (Parent(path) == f) names.push_back(path.substr(f.size() + 1));
    }
    return names;
  }

  Status OpenListing(std::u16string_view folder, std::unique_ptr<FolderListing>* listing) override {
    const std::u16string f = Normal(std::u16string(folder));
    if (folders_.count(f) == 0) return E_PATH_NOT_FOUND;
    auto result = std::make_unique<Listing>();
    for (const std::u16string& sub : folders_) {
      if (Parent(sub) == f && sub != f) {
        FolderEntry entry;
        entry.name = Name(sub);
        entry.folder = true;
        result->entries.push_back(std::move(entry));
      }
    }
    for (const auto& [path, file] : files_) {
      if (Parent(path) == f) {
        FolderEntry entry;
        entry.name = Name(path);
        entry.creationTime = file.creationTime;
        entry.lastWriteTime = file.lastWriteTime;
        entry.size = file.content.size();
        result->entries.push_back(std::move(entry));
      }
    }
    *listing = std::move(result);
    return S_OK;
  }

  Status Move(std::u16string_view from, std::u16string_view to, bool replaceExisting) override {
    ++moves;
    if (failMovesAfter == 0) return failure;
    if (failMovesAfter > 0) --failMovesAfter;
    const std::u16string a = Normal(std::u16string(from));
    const std::u16string b = Normal(std::u16string(to));
    const auto it = files_.find(a);
    if (it == files_.end()) return E_FILE_NOT_FOUND;
    if (folders_.count(Parent(b)) == 0) return E_PATH_NOT_FOUND;
    if (a == b) return S_OK;
    if (files_.count(b) != 0 && !replaceExisting) return E_FILE_EXISTS;
    File file = std::move(it->second);
    files_.erase(it);
    files_[b] = std::move(file);
    return S_OK;
  }

  Status Recycle(std::u16string_view path) override {
    const auto it = files_.find(Normal(std::u16string(path)));
    if (it == files_.end()) return E_FILE_NOT_FOUND;
    recycled.push_back(it->first);
    files_.erase(it);
    return S_OK;
  }

  std::vector<std::u16string> recycled;
  int moves = 0;
  // Moves succeed this many more times, then fail with `failure`; negative: never fail.
  int failMovesAfter = -1;
  Status failure = E_FAIL;

 private:
  struct Listing final : FolderListing {
    std::vector<FolderEntry> entries;
    std::size_t next = 0;
    Status Next(FolderEntry* entry) override {
      if (next >= entries.size()) return E_NO_MORE_FILES;
      *entry = entries[next++];
      return S_OK;
    }
  };

  static std::u16string Normal(std::u16string path) {
    while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
    return path;
  }
  static std::u16string Parent(const std::u16string& path) {
    const int at = FindLastPathSeparator(path);
    return at < 0 ? std::u16string() : path.substr(0, static_cast<std::size_t>(at));
  }
  static std::u16string Name(const std::u16string& path) {
    return std::u16string(FileNamePart(path));
  }

  std::set<std::u16string> folders_;
  std::map<std::u16string, File> files_;
};

}  // namespace lumatag
