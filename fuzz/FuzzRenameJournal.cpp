// The rename journal's record files live in the person's state folder, where anything may have
// written to them: reading one never crashes or reads past it, and an undo of whatever a record
// says never replaces a file.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "workflow/RenameJournal.h"

namespace {

using lumatag::FileIdentity;
using lumatag::Status;

// A folder in memory: a file's identity follows from its path, so some records match it.
class MemoryFolder final : public lumatag::JournalStore, public lumatag::FileOperations {
 public:
  std::map<std::string, std::string> records;
  std::set<std::u16string> files;

  Status Identify(std::u16string_view path, FileIdentity* identity) override {
    if (files.count(std::u16string(path)) == 0) return lumatag::E_FILE_NOT_FOUND;
    *identity = FileIdentity{0, path.size() % 3, 0, 0};
    return lumatag::S_OK;
  }
  Status List(std::vector<std::string>* names) override {
    names->clear();
    for (const auto& [name, content] : records) names->push_back(name);
    return lumatag::S_OK;
  }
  Status Read(std::string_view name, std::string* content) override {
    const auto found = records.find(std::string(name));
    if (found == records.end()) return lumatag::E_FILE_NOT_FOUND;
    *content = found->second;
    return lumatag::S_OK;
  }
  Status Create(std::string_view name, std::string_view data) override {
    if (!records.emplace(std::string(name), std::string(data)).second) {
      return lumatag::E_FILE_EXISTS;
    }
    return lumatag::S_OK;
  }
  Status Append(std::string_view name, std::string_view data, bool) override {
    records[std::string(name)].append(data);
    return lumatag::S_OK;
  }
  Status Remove(std::string_view name) override {
    records.erase(std::string(name));
    return lumatag::S_OK;
  }

  Status OpenListing(std::u16string_view, std::unique_ptr<lumatag::FolderListing>*) override {
    return lumatag::E_NOTIMPL;
  }
  Status Move(std::u16string_view from, std::u16string_view to, bool replaceExisting) override {
    if (replaceExisting) __builtin_trap();  // an undo never replaces anything
    if (files.count(std::u16string(from)) == 0) return lumatag::E_FILE_NOT_FOUND;
    if (!files.insert(std::u16string(to)).second) return lumatag::E_FILE_EXISTS;
    files.erase(std::u16string(from));
    return lumatag::S_OK;
  }
  Status Recycle(std::u16string_view) override { return lumatag::E_NOTIMPL; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryFolder folder;
  folder.records["batch-0000000001"] = std::string(reinterpret_cast<const char*>(data), size);
  lumatag::RenameJournal journal(folder);
  std::vector<lumatag::JournalBatch> batches;
  lumatag::IgnoreStatus(journal.History(u"", &batches));
  lumatag::JournalBatch batch;
  std::vector<lumatag::JournalEntry> entries;
  if (lumatag::Failed(journal.ReadBatch(1, &batch, &entries))) return 0;
  std::uint64_t last = 0;
  if (lumatag::Failed(journal.LastBatchIn(batch.folder, &last)) || last != 1) __builtin_trap();
  // Every other renamed file is still there under its new name.
  for (std::size_t i = 0; i < entries.size(); i += 2) {
    folder.files.insert(lumatag::RenameJournal::PathOf(batch.folder, entries[i].newName));
  }
  const std::size_t before = folder.files.size();
  lumatag::UndoResult result;
  lumatag::IgnoreStatus(lumatag::UndoBatch(journal, folder, folder, 1, 0, &result));
  // Files only ever change their names: none is lost, none is made.
  if (folder.files.size() != before) __builtin_trap();
  return 0;
}
