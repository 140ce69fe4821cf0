#include "workflow/PhotoRenamer.h"

#include <string>

#include "metadata/PhotoMetadataReader.h"
#include "patterns/NameMatcher.h"
#include "workflow/FileActions.h"

namespace lumatag {

Status PhotoRenamer::BuildPaths(std::u16string_view folder, int index, std::u16string_view name,
                                RenamePaths* paths) const {
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  const std::u16string from = JoinPhotoPath(folder, list_.At(index).fileName.View());
  const std::u16string to = JoinPhotoPath(folder, name);
  if (static_cast<int>(from.size()) > kPathCapacity ||
      static_cast<int>(to.size()) > kPathCapacity) {
    return E_BUFFER_TOO_SMALL;
  }
  LT_TRY(paths->from.Assign(from));
  return paths->to.Assign(to);
}

Status PhotoRenamer::Move(const RenamePaths& paths, bool* moved) {
  if (inBatch_) {
    // The name check made the name unique within the list, so whatever holds it now is no photo
    // of the list (a planted file, a folder, or what another program named there): nobody chose
    // to replace it.
    const Status status = files_.Move(paths.from.View(), paths.to.View(), false);
    *moved = Succeeded(status);
    return status == E_FILE_EXISTS || status == E_ALREADY_EXISTS ? E_TARGET_UNLISTED : status;
  }
  const MoveResult move = MoveFileTo(context_, files_, paths.from.View(), paths.to.View());
  *moved = move.moved;
  return move.status;
}

Status PhotoRenamer::ReadNameBack(PhotoEntry& photo, std::u16string_view name,
                                  std::uint16_t pattern, Reading* reading) const {
  CountedString fileName;
  LT_TRY(fileName.Assign(name));
  NameMatch match;
  BestPattern best;
  const NamingPattern* p = proposer_.PatternAt(pattern);
  if (p != nullptr && p->IsUsable() && !p->IsDeleted() &&
      Succeeded(MatchName(p, &photo, &fileName, &proposer_.Lookup(), &match)) && match.matched) {
    best.index = pattern;
    best.baseStart = match.baseStart;
    best.baseLength = match.baseLength;
    best.number = match.number;
  } else {
    const PatternListView naming = PatternListView::Naming(catalogue_);
    LT_TRY(FindBestPattern(&naming, &photo, &fileName, &proposer_.Lookup(), &best));
    if (best.index == kNoPatternMatched) best = BestPattern();
  }
  reading->pattern = best.index;
  reading->baseStart = best.baseStart;
  reading->baseLength = best.baseLength;
  reading->number = best.number;
  return reading->pattern == kNoPatternIndex ? S_RENAMED_WITHOUT_PATTERN : S_OK;
}

Status PhotoRenamer::Apply(int index, const RenamePaths& paths, std::u16string_view name,
                           std::uint16_t pattern) {
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  const std::u16string oldName(list_.At(index).fileName.View());
  if (oldName != name) {
    bool moved = false;
    LT_TRY(Move(paths, &moved));
    // Declining to overwrite leaves the photo exactly as it was.
    if (!moved) return E_CANCELLED;
  }
  if (onRenamed) onRenamed(oldName, name);

  // The file has its new name now: the entry follows it whatever the name reads as.
  PhotoEntry& photo = list_.At(index);
  Reading reading;
  Status read = ReadNameBack(photo, name, pattern, &reading);
  if (Failed(read)) {
    reading = Reading();
    read = S_RENAMED_WITHOUT_PATTERN;
  }
  const Status named = list_.SetFileName(index, name);
  if (Failed(named)) {
    // The entry cannot take the new name: put the file back so that list and folder agree.
    if (oldName != name && Failed(files_.Move(paths.to.View(), paths.from.View(), false))) {
      return E_RENAME_NOT_UNDONE;
    }
    return named;
  }
  list_.SetUnnamed(index, false);
  photo.patternIndex = reading.pattern;
  photo.baseNameStart = reading.baseStart;
  photo.baseNameLength = reading.baseLength;
  photo.number = reading.number;
  return read;
}

}  // namespace lumatag
