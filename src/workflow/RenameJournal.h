// The rename journal: every batch of renames the program makes is written down before the files
// move (folder, old name, new name, the file's identity), so that a batch can be undone later,
// even one cut short by a crash or power loss. Undo itself is a batch, so it can be undone too.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Status.h"
#include "foundation/SystemTime.h"
#include "ports/FileOperations.h"
#include "ports/JournalStore.h"

namespace lumatag {

struct JournalBatch {
  std::uint64_t id = 0;
  FileTime time = 0;
  std::u16string folder;
  std::uint64_t undoOf = 0;  // the batch this one undid, 0 for ordinary renames
  bool complete = false;  // false: cut short (crash, kill, power loss) before its end was written
  std::size_t count = 0;  // the renames recorded, less those known to have failed
};

struct JournalEntry {
  std::u16string oldName;
  std::u16string newName;
  FileIdentity identity;
  bool failed = false;  // the move was tried and did not happen
};

class RenameJournal {
 public:
  // Batches kept; beginning a new one forgets the oldest beyond this.
  static constexpr std::size_t kBatchesKept = 100;
  // Renames between two flushes to the disk.
  static constexpr std::size_t kEntriesPerFlush = 256;

  explicit RenameJournal(JournalStore& store) : store_(store) {}
  ~RenameJournal();
  RenameJournal(const RenameJournal&) = delete;
  RenameJournal& operator=(const RenameJournal&) = delete;

  // Starts a batch of renames in `folder`.
  Status Begin(std::u16string_view folder, FileTime time, std::uint64_t undoOf = 0);
  bool Active() const { return active_; }
  std::uint64_t BatchId() const { return batch_.id; }
  // Records the rename of `oldName` to `newName` (in the batch's folder) that is about to happen;
  // call it before the move. The file is identified now.
  Status Intend(std::u16string_view oldName, std::u16string_view newName);
  // Same, with the identity already known.
  Status Intend(std::u16string_view oldName, std::u16string_view newName,
                const FileIdentity& identity);
  // The rename last intended did not happen.
  Status MarkFailed();
  // Ends the batch: from now on it counts as complete. A batch with no rename is forgotten.
  Status End();

  // Every batch kept, oldest first; those of one folder only when `folder` is not empty.
  Status History(std::u16string_view folder, std::vector<JournalBatch>* batches);
  Status ReadBatch(std::uint64_t id, JournalBatch* batch, std::vector<JournalEntry>* entries);
  // The newest batch kept whose folder is `folder` (0 when there is none). A record's folder is
  // read once and remembered, so asking again costs a listing of the journal.
  Status LastBatchIn(std::u16string_view folder, std::uint64_t* id);

  // Joins a folder and a name in it.
  static std::u16string PathOf(std::u16string_view folder, std::u16string_view name);

 private:
  Status Write(bool durable);
  // The ids of the batches kept, oldest first (records of other names are passed over).
  Status BatchIds(std::vector<std::uint64_t>* ids);

  JournalStore& store_;
  bool active_ = false;
  JournalBatch batch_;
  std::string name_;
  std::string pending_;        // lines written (not yet flushed to the disk)
  std::size_t unflushed_ = 0;  // entries since the last flush
  std::size_t entries_ = 0;
  std::map<std::uint64_t, std::u16string> folders_;  // the folder of each record read
};

// Why a file of a batch was left where it is by an undo.
enum class UndoProblemKind { Gone, Changed, OldNameTaken, MoveFailed };

struct UndoProblem {
  std::u16string oldName;
  std::u16string newName;
  UndoProblemKind kind = UndoProblemKind::Gone;
  Status status = S_OK;
};

struct UndoResult {
  std::uint64_t undoBatch = 0;  // the batch that recorded the undo (0 when nothing moved)
  std::size_t restored = 0;
  std::vector<UndoProblem> problems;
};

// Moves every file of batch `id` back to its old name, last rename first. A file that is gone,
// changed since (its identity differs) or whose old name is taken stays as it is and is reported;
// nothing is ever replaced. Of a batch cut short, only the files that had moved are moved back.
Status UndoBatch(RenameJournal& journal, JournalStore& store, FileOperations& files,
                 std::uint64_t id, FileTime now, UndoResult* result);

}  // namespace lumatag
