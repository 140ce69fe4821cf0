#include "workflow/PhotoRenamer.h"

#include <string>

#include "metadata/PhotoMetadataReader.h"
#include "patterns/NameMatcher.h"
#include "ports/TextComparer.h"
#include "workflow/FileActions.h"

namespace lumatag {

void PhotoRenamer::BeginBatch() {
  inBatch_ = true;
}

void PhotoRenamer::EndBatch() {
  inBatch_ = false;
  // A journal that cannot be written loses the undo of the batch, never the batch.
  if (journal_ != nullptr && journal_->Active()) IgnoreStatus(journal_->End());
}

namespace {

std::size_t NameStart(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"/\\");
  return separator == std::u16string_view::npos ? 0 : separator + 1;
}

}  // namespace

// Writes the coming move down. A journal that cannot be written does not stop the rename: the
// person's work comes first, and only the undo of that batch is lost.
void PhotoRenamer::JournalIntent(std::u16string_view from, std::u16string_view to) {
  journaling_ = false;
  if (journal_ == nullptr) return;
  const std::size_t fromName = NameStart(from);
  const std::u16string_view folder = from.substr(0, fromName);
  if (!journal_->Active()) {
    FileTime now = 0;
    if (clock_ != nullptr) IgnoreStatus(SystemTimeToFileTime(clock_->LocalNow(), &now));
    if (Failed(journal_->Begin(folder, now))) return;
  }
  journaling_ = Succeeded(journal_->Intend(from.substr(fromName), to.substr(NameStart(to))));
}

void PhotoRenamer::JournalOutcome(bool moved) {
  if (journaling_ && !moved) IgnoreStatus(journal_->MarkFailed());
  journaling_ = false;
}

void PhotoRenamer::EndOwnJournalBatch() {
  if (!inBatch_ && journal_ != nullptr && journal_->Active()) IgnoreStatus(journal_->End());
}

Status PhotoRenamer::MoveFiles(std::u16string_view from, std::u16string_view to,
                               bool replaceExisting) {
  if (pretend_) return S_OK;
  JournalIntent(from, to);
  const Status status = files_.Move(from, to, replaceExisting);
  JournalOutcome(Succeeded(status));
  return status;
}

Status PhotoRenamer::PrepareCompanions(std::u16string_view folder) {
  companionIndex_.Clear();
  if (!companions_) return S_OK;
  companionFolder_ = std::u16string(folder);
  return companionIndex_.Build(files_, folder, list_);
}

void PhotoRenamer::PlanCompanions(int index, std::u16string_view name,
                                  std::vector<CompanionMove>* moves) const {
  moves->clear();
  if (!companions_ || !companionIndex_.Built() || index < 0 || index >= list_.Count()) return;
  const std::u16string_view oldName = list_.At(index).fileName.View();
  if (oldName == name) return;
  companionIndex_.Plan(oldName, name, moves);
}

namespace {

// A companion's new name differs from its old one in letter case only: it takes no other file's
// name.
bool SameFile(const CompanionMove& move) {
  return CompareInvariant(move.from, move.to, true) == 0;
}

}  // namespace

bool PhotoRenamer::Blocks(int index, std::u16string_view name) const {
  std::vector<CompanionMove> moves;
  PlanCompanions(index, name, &moves);
  for (const CompanionMove& move : moves) {
    if (!SameFile(move) && companionIndex_.IsTaken(move.to)) return true;
  }
  return false;
}

bool PhotoRenamer::PutBack(const RenamePaths& paths, const std::vector<CompanionMove>& moves,
                           std::size_t count) {
  for (std::size_t i = count; i-- > 0;) {
    const std::u16string from = JoinPhotoPath(companionFolder_, moves[i].to);
    const std::u16string to = JoinPhotoPath(companionFolder_, moves[i].from);
    if (Succeeded(MoveFiles(from, to, false))) companionIndex_.Moved(moves[i].to, moves[i].from);
  }
  if (Failed(MoveFiles(paths.to.View(), paths.from.View(), false))) return false;
  companionIndex_.Moved(paths.to.View().substr(NameStart(paths.to.View())),
                        paths.from.View().substr(NameStart(paths.from.View())));
  return true;
}

Status PhotoRenamer::MoveCompanions(const RenamePaths& paths,
                                    const std::vector<CompanionMove>& moves) {
  for (std::size_t i = 0; i < moves.size(); ++i) {
    const std::u16string from = JoinPhotoPath(companionFolder_, moves[i].from);
    const std::u16string to = JoinPhotoPath(companionFolder_, moves[i].to);
    Status moved = static_cast<int>(to.size()) > kPathCapacity ? E_BUFFER_TOO_SMALL : S_OK;
    if (Succeeded(moved)) moved = MoveFiles(from, to, false);
    if (Failed(moved)) return PutBack(paths, moves, i) ? moved : E_RENAME_NOT_UNDONE;
    companionIndex_.Moved(moves[i].from, moves[i].to);
  }
  return S_OK;
}

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
  if (pretend_) {
    *moved = true;
    return S_OK;
  }
  if (inBatch_) {
    // The name check made the name unique within the list, so whatever holds it now is no photo
    // of the list (a planted file, a folder, or what another program named there): nobody chose
    // to replace it.
    const Status status = MoveFiles(paths.from.View(), paths.to.View(), false);
    *moved = Succeeded(status);
    return status == E_FILE_EXISTS || status == E_ALREADY_EXISTS ? E_TARGET_UNLISTED : status;
  }
  JournalIntent(paths.from.View(), paths.to.View());
  const MoveResult move = MoveFileTo(context_, files_, paths.from.View(), paths.to.View());
  JournalOutcome(move.moved);
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
  std::vector<CompanionMove> companions;
  if (oldName != name) {
    PlanCompanions(index, name, &companions);
    // The photo and its companions are one: nothing moves unless every companion's name is free.
    for (const CompanionMove& move : companions) {
      if (!SameFile(move) && companionIndex_.IsTaken(move.to)) return E_FILE_EXISTS;
    }
    bool moved = false;
    Status status = Move(paths, &moved);
    if (Succeeded(status) && moved && companionIndex_.Built()) {
      companionIndex_.Moved(oldName, name);
      status = MoveCompanions(paths, companions);
    }
    EndOwnJournalBatch();
    LT_TRY(status);
    // Declining to overwrite leaves the photo exactly as it was.
    if (!moved) return E_CANCELLED;
  }
  if (onRenamed) onRenamed(oldName, name);
  if (onCompanionRenamed) {
    for (const CompanionMove& move : companions) onCompanionRenamed(move.from, move.to);
  }

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
    const bool back = oldName == name || PutBack(paths, companions, companions.size());
    EndOwnJournalBatch();
    if (!back) return E_RENAME_NOT_UNDONE;
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
