#include "workflow/RenameJournal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace lumatag {

namespace {

// Record files: "batch-" and a ten-digit id. Their lines are TAB-separated fields:
//   B <id> <time> <folder> <undoOf>     the batch's start
//   R <old> <new> <dev> <ino> <size> <mtime>   a rename about to happen
//   F <index>                           the rename with that index did not happen
//   E                                   the batch's end
// Names are kept as UTF-16 code units: printable ASCII as itself (but '%'), the rest as %XXXX, so
// every name survives (even one that is not valid text) and a line never breaks inside a name.
constexpr std::string_view kPrefix = "batch-";

std::string RecordName(std::uint64_t id) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "batch-%010llu", static_cast<unsigned long long>(id));
  return buffer;
}

bool ParseId(std::string_view name, std::uint64_t* id) {
  if (name.size() != kPrefix.size() + 10 || name.substr(0, kPrefix.size()) != kPrefix) return false;
  const std::string_view digits = name.substr(kPrefix.size());
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), *id);
  return error == std::errc() && end == digits.data() + digits.size() && *id != 0;
}

void Escape(std::u16string_view text, std::string* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char16_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != u'%') {
      out->push_back(static_cast<char>(c));
    } else {
      out->push_back('%');
      for (int shift = 12; shift >= 0; shift -= 4) out->push_back(kHex[(c >> shift) & 0xF]);
    }
  }
}

bool Unescape(std::string_view text, std::u16string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out->push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i])));
      continue;
    }
    if (i + 4 >= text.size()) return false;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 5, value, 16);
    if (error != std::errc() || end != text.data() + i + 5) return false;
    out->push_back(static_cast<char16_t>(value));
    i += 4;
  }
  return true;
}

template <typename T>
void AppendNumber(T value, std::string* out) {
  char buffer[24];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;
  out->append(buffer, end);
}

template <typename T>
bool ParseNumber(std::string_view text, T* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

// Reads a record file. A last line without its newline was cut short while written and is ignored.
bool ParseRecord(std::string_view content, JournalBatch* batch,
                 std::vector<JournalEntry>* entries) {
  *batch = JournalBatch{};
  entries->clear();
  bool begun = false;
  std::size_t failed = 0;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t newline = content.find('\n', pos);
    if (newline == std::string_view::npos) break;
    const std::vector<std::string_view> f = Fields(content.substr(pos, newline - pos));
    pos = newline + 1;
    if (f[0] == "B" && f.size() == 5 && !begun) {
      if (!ParseNumber(f[1], &batch->id) || !ParseNumber(f[2], &batch->time) ||
          !Unescape(f[3], &batch->folder) || !ParseNumber(f[4], &batch->undoOf)) {
        return false;
      }
      begun = true;
    } else if (!begun) {
      return false;
    } else if (f[0] == "R" && f.size() == 7) {
      JournalEntry entry;
      if (!Unescape(f[1], &entry.oldName) || !Unescape(f[2], &entry.newName) ||
          !ParseNumber(f[3], &entry.identity.device) || !ParseNumber(f[4], &entry.identity.inode) ||
          !ParseNumber(f[5], &entry.identity.size) ||
          !ParseNumber(f[6], &entry.identity.modified)) {
        return false;
      }
      entries->push_back(std::move(entry));
    } else if (f[0] == "F" && f.size() == 2) {
      std::size_t index = 0;
      if (!ParseNumber(f[1], &index) || index >= entries->size()) return false;
      if (!(*entries)[index].failed) ++failed;
      (*entries)[index].failed = true;
    } else if (f[0] == "E" && f.size() == 1) {
      batch->complete = true;
    } else {
      return false;
    }
  }
  if (!begun) return false;
  batch->count = entries->size() - failed;
  return true;
}

}  // namespace

RenameJournal::~RenameJournal() {
  // A batch left open (an early return on the caller's side) still has its end written; a crash
  // never reaches here, and then the batch stays marked as cut short.
  if (active_) IgnoreStatus(End());
}

std::u16string RenameJournal::PathOf(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (!path.empty() && path.back() != u'/' && path.back() != u'\\') path.push_back(u'/');
  path.append(name);
  return path;
}

Status RenameJournal::BatchIds(std::vector<std::uint64_t>* ids) {
  ids->clear();
  std::vector<std::string> names;
  if (const Status s = store_.List(&names); Failed(s)) return s;
  for (const std::string& name : names) {
    std::uint64_t id = 0;
    if (ParseId(name, &id)) ids->push_back(id);
  }
  std::sort(ids->begin(), ids->end());
  return S_OK;
}

Status RenameJournal::Begin(std::u16string_view folder, FileTime time, std::uint64_t undoOf) {
  if (active_) return E_UNEXPECTED;
  std::vector<std::uint64_t> ids;
  if (const Status s = BatchIds(&ids); Failed(s)) return s;
  // Older batches beyond those kept are forgotten, making room for this one.
  // A record that cannot be removed is only kept longer.
  for (std::size_t i = 0; i + kBatchesKept < ids.size() + 1; ++i) {
    IgnoreStatus(store_.Remove(RecordName(ids[i])));
  }

  batch_ = JournalBatch{};
  batch_.id = ids.empty() ? 1 : ids.back() + 1;
  batch_.time = time;
  batch_.folder = std::u16string(folder);
  batch_.undoOf = undoOf;
  for (int attempt = 0;; ++attempt) {
    std::string header = "B\t";
    AppendNumber(batch_.id, &header);
    header += '\t';
    AppendNumber(time, &header);
    header += '\t';
    Escape(folder, &header);
    header += '\t';
    AppendNumber(undoOf, &header);
    header += '\n';
    name_ = RecordName(batch_.id);
    const Status created = store_.Create(name_, header);
    if (Succeeded(created)) break;
    // Another instance took the id at the same moment: the next one.
    if (created != E_FILE_EXISTS || attempt >= 1000) return created;
    ++batch_.id;
  }
  active_ = true;
  pending_.clear();
  unflushed_ = 0;
  entries_ = 0;
  return S_OK;
}

Status RenameJournal::Intend(std::u16string_view oldName, std::u16string_view newName) {
  FileIdentity identity;
  if (const Status s = store_.Identify(PathOf(batch_.folder, oldName), &identity); Failed(s)) {
    return s;
  }
  return Intend(oldName, newName, identity);
}

Status RenameJournal::Intend(std::u16string_view oldName, std::u16string_view newName,
                             const FileIdentity& identity) {
  if (!active_) return E_UNEXPECTED;
  pending_ += "R\t";
  Escape(oldName, &pending_);
  pending_ += '\t';
  Escape(newName, &pending_);
  for (const std::uint64_t n : {identity.device, identity.inode, identity.size}) {
    pending_ += '\t';
    AppendNumber(n, &pending_);
  }
  pending_ += '\t';
  AppendNumber(identity.modified, &pending_);
  pending_ += '\n';
  ++entries_;
  // Written before the move, so a killed process leaves the journal knowing at least as much as
  // the folder; flushed to the disk once for a group of renames, not once for each.
  return Write(++unflushed_ >= kEntriesPerFlush);
}

Status RenameJournal::MarkFailed() {
  if (!active_ || entries_ == 0) return E_UNEXPECTED;
  pending_ += "F\t";
  AppendNumber(entries_ - 1, &pending_);
  pending_ += '\n';
  return Write(false);
}

Status RenameJournal::End() {
  if (!active_) return S_OK;
  active_ = false;
  if (entries_ == 0) {
    pending_.clear();
    return store_.Remove(name_);
  }
  pending_ += "E\n";
  return Write(true);
}

Status RenameJournal::Write(bool durable) {
  const Status s = store_.Append(name_, pending_, durable);
  pending_.clear();
  if (durable) unflushed_ = 0;
  return s;
}

Status RenameJournal::History(std::u16string_view folder, std::vector<JournalBatch>* batches) {
  batches->clear();
  std::vector<std::uint64_t> ids;
  if (const Status s = BatchIds(&ids); Failed(s)) return s;
  std::vector<JournalEntry> entries;
  for (const std::uint64_t id : ids) {
    JournalBatch batch;
    if (Failed(ReadBatch(id, &batch, &entries))) continue;  // unreadable records are passed over
    if (!folder.empty() && batch.folder != folder) continue;
    batches->push_back(std::move(batch));
  }
  return S_OK;
}

Status RenameJournal::LastBatchIn(std::u16string_view folder, std::uint64_t* id) {
  *id = 0;
  std::vector<std::uint64_t> ids;
  LT_TRY(BatchIds(&ids));
  for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
    auto known = folders_.find(*it);
    if (known == folders_.end()) {
      std::string content;
      if (Failed(store_.Read(RecordName(*it), &content))) continue;
      // Only the first line is needed: the batch's start with its folder.
      const std::size_t newline = content.find('\n');
      if (newline == std::string::npos) continue;
      const std::vector<std::string_view> f = Fields(std::string_view(content).substr(0, newline));
      std::u16string recorded;
      if (f.size() != 5 || f[0] != "B" || !Unescape(f[3], &recorded)) continue;
      known = folders_.emplace(*it, std::move(recorded)).first;
    }
    if (known->second == folder) {
      *id = *it;
      return S_OK;
    }
  }
  return S_OK;
}

Status RenameJournal::ReadBatch(std::uint64_t id, JournalBatch* batch,
                                std::vector<JournalEntry>* entries) {
  std::string content;
  if (const Status s = store_.Read(RecordName(id), &content); Failed(s)) return s;
  if (!ParseRecord(content, batch, entries) || batch->id != id) return E_INVALID_INPUT;
  // The batch being written now is not cut short, only unfinished.
  if (active_ && batch_.id == id) batch->complete = true;
  return S_OK;
}

Status UndoBatch(RenameJournal& journal, JournalStore& store, FileOperations& files,
                 std::uint64_t id, FileTime now, UndoResult* result) {
  *result = UndoResult{};
  JournalBatch batch;
  std::vector<JournalEntry> entries;
  if (const Status s = journal.ReadBatch(id, &batch, &entries); Failed(s)) return s;
  bool begun = false;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const JournalEntry& entry = *it;
    if (entry.failed) continue;
    const std::u16string from = RenameJournal::PathOf(batch.folder, entry.newName);
    const std::u16string to = RenameJournal::PathOf(batch.folder, entry.oldName);
    FileIdentity now_at_new;
    const Status found = store.Identify(from, &now_at_new);
    if (Failed(found) || now_at_new != entry.identity) {
      // Of a batch cut short, a rename written down whose file never moved: nothing to undo.
      FileIdentity at_old;
      if (!batch.complete && Succeeded(store.Identify(to, &at_old)) && at_old == entry.identity) {
        continue;
      }
      result->problems.push_back({entry.oldName, entry.newName,
                                  Failed(found) ? UndoProblemKind::Gone : UndoProblemKind::Changed,
                                  found});
      continue;
    }
    FileIdentity at_old;
    if (Succeeded(store.Identify(to, &at_old))) {
      result->problems.push_back(
          {entry.oldName, entry.newName, UndoProblemKind::OldNameTaken, E_FILE_EXISTS});
      continue;
    }
    if (!begun) {
      if (const Status s = journal.Begin(batch.folder, now, id); Failed(s)) return s;
      begun = true;
      result->undoBatch = journal.BatchId();
    }
    if (const Status s = journal.Intend(entry.newName, entry.oldName, entry.identity); Failed(s)) {
      IgnoreStatus(journal.End());
      return s;
    }
    const Status moved = files.Move(from, to, false);
    if (Failed(moved)) {
      IgnoreStatus(journal.MarkFailed());
      result->problems.push_back(
          {entry.oldName, entry.newName,
           moved == E_FILE_EXISTS ? UndoProblemKind::OldNameTaken : UndoProblemKind::MoveFailed,
           moved});
      continue;
    }
    ++result->restored;
  }
  if (begun) return journal.End();
  return S_OK;
}

}  // namespace lumatag
