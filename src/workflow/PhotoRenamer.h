// Applying a checked new name to a photo: the move (with the overwrite question outside a batch),
// reading the new name back against the patterns, updating the entry, and putting the file back
// when the entry cannot follow.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "patterns/PatternCatalogue.h"
#include "ports/FileOperations.h"
#include "workflow/NameProposal.h"
#include "workflow/PhotoList.h"

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

class PhotoRenamer {
 public:
  PhotoRenamer(AppContext& context, FileOperations& files, const NameProposer& proposer,
               const PatternCatalogue& catalogue, PhotoList& list)
      : context_(context), files_(files), proposer_(proposer), catalogue_(catalogue), list_(list) {}

  // Called after each file actually moved (old and new file name).
  std::function<void(std::u16string_view oldName, std::u16string_view newName)> onRenamed;

  // A batch: nobody is asked whether to overwrite a file; a name held by a file or folder outside
  // the list gives E_TARGET_UNLISTED, and that file stays as it is.
  void BeginBatch() { inBatch_ = true; }
  void EndBatch() { inBatch_ = false; }

  // The old and new path of photo `index` in `folder`; E_BUFFER_TOO_SMALL when one is too long.
  Status BuildPaths(std::u16string_view folder, int index, std::u16string_view name,
                    RenamePaths* paths) const;

  // Moves the photo's file (a checked name) and updates its entry: file name, named, and the
  // pattern, base-name span and number the new name reads as (`pattern` first, then the best
  // naming pattern). S_OK, S_RENAMED_WITHOUT_PATTERN, E_CANCELLED when the person declined to
  // overwrite (nothing changed), E_TARGET_UNLISTED in a batch (nothing changed),
  // E_RENAME_NOT_UNDONE, or the move's failure (nothing changed).
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
  Status ReadNameBack(PhotoEntry& photo, std::u16string_view name, std::uint16_t pattern,
                      Reading* reading) const;

  AppContext& context_;
  FileOperations& files_;
  const NameProposer& proposer_;
  const PatternCatalogue& catalogue_;
  PhotoList& list_;
  bool inBatch_ = false;
};

}  // namespace lumatag
