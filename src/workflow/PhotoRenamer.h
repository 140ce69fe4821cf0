// Applying a checked new name to a photo: the move (with the overwrite question outside a batch),
// reading the new name back against the patterns, updating the entry, and putting the file back
// when the entry cannot follow.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "patterns/PatternCatalogue.h"
#include "ports/Clock.h"
#include "ports/FileOperations.h"
#include "workflow/Companions.h"
#include "workflow/NameProposal.h"
#include "workflow/PhotoList.h"
#include "workflow/RenameJournal.h"

namespace lumatag {

// The file was renamed, but its new name follows no naming pattern. The photo is then recorded as
// named without a pattern (a success status).
inline constexpr Status S_RENAMED_WITHOUT_PATTERN = 0x00000507;
// The file was renamed, the entry could not take the new name, and the file could not be given its
// old name back: list and folder disagree until the next scan.
inline constexpr Status E_RENAME_NOT_UNDONE = MakeStatus(0x80000520);
// In a batch: a file or folder outside the photo list has the new name. Nothing changed; the batch
// takes the next free number instead.
inline constexpr Status E_TARGET_UNLISTED = MakeStatus(0x80000532);

// Where a rename goes; both paths at most kPathCapacity characters.
struct RenamePaths {
  PathString from;
  PathString to;
};

class PhotoRenamer final : public NameGuard {
 public:
  PhotoRenamer(AppContext& context, FileOperations& files, const NameProposer& proposer,
               const PatternCatalogue& catalogue, PhotoList& list)
      : context_(context), files_(files), proposer_(proposer), catalogue_(catalogue), list_(list) {}

  // Called after each file actually moved (old and new file name).
  std::function<void(std::u16string_view oldName, std::u16string_view newName)> onRenamed;
  // Called after onRenamed for each companion file that moved with the photo.
  std::function<void(std::u16string_view oldName, std::u16string_view newName)> onCompanionRenamed;

  // Companion files (RAW, sidecars) move with their photo while `on`; the folder is read by
  // PrepareCompanions, once for a batch or for a single rename, and forgotten by EndCompanions.
  void SetCompanions(bool on) { companions_ = on; }
  bool CompanionsOn() const { return companions_; }
  Status PrepareCompanions(std::u16string_view folder);
  void EndCompanions() { companionIndex_.Clear(); }
  // The companion moves that renaming photo `index` to `name` would make (none while off).
  void PlanCompanions(int index, std::u16string_view name, std::vector<CompanionMove>* moves) const;
  // A name is refused when one of its companions' names is taken in the folder.
  bool Blocks(int index, std::u16string_view name) const override;
  bool InBatch() const { return inBatch_; }
  // Moves that only pretend (nothing is moved, asked or written down), to work out what a batch
  // would do.
  void SetPretend(bool on) { pretend_ = on; }
  bool Pretending() const { return pretend_; }

  // With a journal, every move is written to it before it happens (a batch is one journal batch,
  // a rename outside a batch one of its own), so that it can be undone.
  void SetJournal(RenameJournal* journal, const Clock* clock) {
    journal_ = journal;
    clock_ = clock;
  }

  // A batch: nobody is asked whether to overwrite a file; a name held by a file or folder outside
  // the list gives E_TARGET_UNLISTED, and that file stays as it is. The batch's moves are one
  // journal batch, closed by EndBatch.
  void BeginBatch();
  void EndBatch();

  // The old and new path of photo `index` in `folder`; E_BUFFER_TOO_SMALL when one is too long.
  Status BuildPaths(std::u16string_view folder, int index, std::u16string_view name,
                    RenamePaths* paths) const;

  // Moves the photo's file (a checked name) and updates its entry: file name, named, and the
  // pattern, base-name span and number the new name reads as (`pattern` first, then the best
  // naming pattern). With companions, the photo and its companions move as one: every companion's
  // name is checked free before anything moves (E_FILE_EXISTS, nothing moved), and when a later
  // move fails the files that moved go back. S_OK, S_RENAMED_WITHOUT_PATTERN, E_CANCELLED when
  // the person declined to overwrite (nothing changed), E_TARGET_UNLISTED in a batch (nothing
  // changed), E_RENAME_NOT_UNDONE, or the move's failure (nothing changed).
  Status Apply(int index, const RenamePaths& paths, std::u16string_view name,
               std::uint16_t pattern);

 private:
  struct Reading {
    std::uint16_t pattern = kNoPatternIndex;
    std::uint16_t baseStart = 0;
    std::uint16_t baseLength = 0;
    std::uint32_t number = 0;
  };
  Status Move(const RenamePaths& paths, bool* moved);
  // Moves the companions after their photo moved; on a failure puts back what moved, the photo
  // included.
  Status MoveCompanions(const RenamePaths& paths, const std::vector<CompanionMove>& moves);
  // Puts companions (the first `count` of `moves`) and the photo back after a failure; false when
  // the photo could not be put back.
  bool PutBack(const RenamePaths& paths, const std::vector<CompanionMove>& moves,
               std::size_t count);
  Status MoveFiles(std::u16string_view from, std::u16string_view to, bool replaceExisting);
  void JournalIntent(std::u16string_view from, std::u16string_view to);
  void JournalOutcome(bool moved);
  void EndOwnJournalBatch();
  Status ReadNameBack(PhotoEntry& photo, std::u16string_view name, std::uint16_t pattern,
                      Reading* reading) const;

  AppContext& context_;
  FileOperations& files_;
  const NameProposer& proposer_;
  const PatternCatalogue& catalogue_;
  PhotoList& list_;
  bool inBatch_ = false;
  RenameJournal* journal_ = nullptr;
  const Clock* clock_ = nullptr;
  bool journaling_ = false;  // the move under way was written to the journal
  bool companions_ = false;
  bool pretend_ = false;
  CompanionIndex companionIndex_;
  std::u16string companionFolder_;
};

}  // namespace lumatag
