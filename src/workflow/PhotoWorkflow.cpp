#include "workflow/PhotoWorkflow.h"

#include <optional>
#include <utility>
#include <vector>

#include "foundation/Numbers.h"
#include "foundation/StringIds.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/PhotoMetadataReader.h"
#include "patterns/Classification.h"
#include "patterns/NameMatcher.h"
#include "ports/Messages.h"
#include "ports/TextComparer.h"
#include "workflow/FileActions.h"

namespace lumatag {

namespace {

// How many names held by files outside the list one photo of a batch passes before giving up.
constexpr int kMaxUnlistedSkips = 10000;

// Why a photo of a batch could not be renamed, as a text of the string table.
std::uint16_t BatchFailureReason(Status status) {
  switch (status) {
    case E_ACCESS_DENIED:
      return IDS_REASON_ACCESS_DENIED;
    case E_NAME_TOO_LONG:
    case E_BUFFER_TOO_SMALL:
      return IDS_REASON_NAME_TOO_LONG;
    case E_TARGET_UNLISTED:
      return IDS_REASON_NO_FREE_NAME;
    case E_FILE_NOT_FOUND:
    case E_PATH_NOT_FOUND:
      return IDS_REASON_PHOTO_GONE;
    case E_FAIL:
      return IDS_REASON_INVALID_NAME;
    default:
      return IDS_REASON_RENAME_FAILED;
  }
}

}  // namespace

PhotoWorkflow::PhotoWorkflow(const WorkflowServices& services)
    : services_(services),
      proposer_(*services.context, *services.catalogue, *services.extensions, list_),
      checker_(proposer_, *services.catalogue, *services.extensions, list_),
      renamer_(*services.context, *services.files, proposer_, *services.catalogue, list_) {
  renamer_.SetJournal(services.journal, services.clock);
  list_.SetNavigationMode(services_.settings->fileNavigationMode);
  renamer_.onRenamed = [this](std::u16string_view oldName, std::u16string_view newName) {
    if (onRenamed) onRenamed(oldName, newName);
  };
  renamer_.onCompanionRenamed = [this](std::u16string_view oldName, std::u16string_view newName) {
    if (onCompanionRenamed) onCompanionRenamed(oldName, newName);
  };
  proposer_.SetGuard(&renamer_);
}

Status PhotoWorkflow::PrepareCompanions() {
  renamer_.SetCompanions(services_.settings->renameCompanions);
  return renamer_.PrepareCompanions(WorkingFolder());
}

namespace {

// Forgets the folder read for companion files when a rename or batch ends, however it ends.
class CompanionScope {
 public:
  explicit CompanionScope(PhotoRenamer& renamer) : renamer_(renamer) {}
  ~CompanionScope() { renamer_.EndCompanions(); }
  CompanionScope(const CompanionScope&) = delete;
  CompanionScope& operator=(const CompanionScope&) = delete;

 private:
  PhotoRenamer& renamer_;
};

}  // namespace

void PhotoWorkflow::MarkSettingsChanged() {
  if (services_.settingsChanged != nullptr) *services_.settingsChanged = true;
}

void PhotoWorkflow::Refresh(std::uint32_t mask) {
  if (mask & kRefreshNewName) {
    if (RefreshProposal() == E_BUFFER_TOO_SMALL) {
      // A message that cannot be shown leaves nothing more to do.
      IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_NEW_NAME_TOO_LONG));
    }
  }
  naming_.updating = true;
  services_.view->RefreshWindowState(mask);
  naming_.updating = false;
}

void PhotoWorkflow::Fill(std::uint32_t mask) {
  if (mask & kRefreshNewName) {
    if (RefreshProposal() == E_BUFFER_TOO_SMALL) {
      // A message that cannot be shown leaves nothing more to do.
      IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_NEW_NAME_TOO_LONG));
    }
  }
  naming_.updating = true;
  services_.view->FillBoxes(mask);
  naming_.updating = false;
}

std::u16string_view PhotoWorkflow::CurrentBaseNameText() const {
  return list_.BaseNames().TextOf(naming_.baseName);
}

Status PhotoWorkflow::BuildPath(std::u16string_view name, CountedString& path) const {
  const std::u16string joined = JoinPhotoPath(WorkingFolder(), name);
  if (static_cast<int>(joined.size()) > kPathCapacity) return E_BUFFER_TOO_SMALL;
  return path.Assign(joined);
}

void PhotoWorkflow::ResetNaming() {
  naming_.baseName = -1;
  naming_.pendingChange = false;
  naming_.typed = false;
  naming_.automatic = false;
}

// ---------------------------------------------------------------------------------------------
// The photo list

Status PhotoWorkflow::RebuildQuickPassTags() {
  return BuildQuickPassTagList(*services_.catalogue, &quickPassTags_);
}

Status PhotoWorkflow::PrepareScan(bool rebuildTagList, ScanJob* job) {
  Status status = S_OK;
  if (rebuildTagList || quickPassTags_.Count() == 0) status = RebuildQuickPassTags();
  bool changed = false;
  if (Succeeded(status)) status = services_.extensions->EnsureNotEmpty(Strings(), &changed);
  if (changed) MarkSettingsChanged();
  if (Succeeded(status)) {
    status =
        job->Prepare(Context(), *services_.files, *services_.readableFiles, *services_.catalogue,
                     *services_.extensions, quickPassTags_, WorkingFolder());
  }
  // A message that cannot be shown leaves nothing more to do.
  if (Failed(status)) IgnoreStatus(ShowStatusError(Context(), status, IDS_ERR_UPDATING_PHOTO_LIST));
  return status;
}

Status PhotoWorkflow::FinishScan(ScanOutcome&& outcome) {
  // A cancelled scan changes nothing: the list shown stays, with its current photo.
  if (outcome.status == E_CANCELLED) return E_CANCELLED;
  services_.view->ReleasePreview();
  const std::uint32_t mode = list_.NavigationMode();
  list_ = std::move(outcome.list);
  list_.SetNavigationMode(mode);
  ResetNaming();
  int current = -1;
  if (!list_.IsEmpty()) {
    current = list_.FirstVisible();
    if (current < 0) current = 0;
  }
  // A photo whose details cannot be read is still selected; its fields stay empty.
  IgnoreStatus(SelectPhoto(current));
  Fill(kRefreshAll);
  services_.view->SetWaitCursor(false);
  if (Failed(outcome.status)) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowStatusError(Context(), outcome.status, IDS_ERR_UPDATING_PHOTO_LIST));
    return outcome.status;
  }
  // A message that cannot be shown leaves nothing more to do.
  if (outcome.somePhotosNotListed)
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_PHOTOS_NOT_LISTED));
  return S_OK;
}

Status PhotoWorkflow::RefreshPhotoList(bool clear, bool rebuildTagList,
                                       const ScanControl& control) {
  if (!clear && !list_.IsEmpty()) {
    if (rebuildTagList || quickPassTags_.Count() == 0) LT_TRY(RebuildQuickPassTags());
    return S_OK;
  }
  // The list held stays in place (and on show) while the new one is built; it is dropped when the
  // scan cannot start or is cancelled, since it may belong to another folder by then.
  auto dropList = [this, clear] {
    if (!clear) return;
    services_.view->ReleasePreview();
    list_.Clear();
    ResetNaming();
  };
  services_.view->SetWaitCursor(true);
  ScanJob job;
  const Status prepared = PrepareScan(rebuildTagList, &job);
  if (Failed(prepared)) {
    dropList();
    // A photo whose details cannot be read is still selected; its fields stay empty.
    IgnoreStatus(SelectPhoto(-1));
    Fill(kRefreshAll);
    services_.view->SetWaitCursor(false);
    return prepared;
  }
  ScanOutcome outcome = services_.view->RunScan(job, control);
  if (outcome.status == E_CANCELLED) {
    if (clear) {
      dropList();
      IgnoreStatus(SelectPhoto(-1));
      Fill(kRefreshAll);
    }
    services_.view->SetWaitCursor(false);
    return E_CANCELLED;
  }
  return FinishScan(std::move(outcome));
}

Status PhotoWorkflow::ChangeWorkingFolder(std::u16string_view folder) {
  if (folder == WorkingFolder()) return S_OK;
  LT_TRY(services_.settings->imageFolder.Assign(folder));
  MarkSettingsChanged();
  return RefreshPhotoList(true, false);
}

Status PhotoWorkflow::ChooseFolderCommand(FolderChooser& chooser, std::u16string_view lastChosen,
                                          std::u16string* chosen) {
  const Status asked = AskBeforeLeaving();
  if (Failed(asked)) {
    // A message that cannot be shown leaves nothing more to do.
    if (asked != E_CANCELLED) IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_FOLDER_DIALOG));
    return asked;
  }
  Status status = ChooseFolder(chooser, WorkingFolder(), lastChosen, chosen);
  if (Succeeded(status) && static_cast<int>(chosen->size()) > kPathCapacity) {
    status = E_BUFFER_TOO_SMALL;
  }
  if (Succeeded(status) && *chosen != WorkingFolder()) {
    status = services_.settings->imageFolder.Assign(*chosen);
    if (Succeeded(status)) {
      MarkSettingsChanged();
      // The scan reports its own failures.
      IgnoreStatus(RefreshPhotoList(true, false));
    }
  }
  // A message that cannot be shown leaves nothing more to do.
  if (Failed(status) && status != E_CANCELLED)
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_CHANGING_FOLDER));
  return status;
}

// ---------------------------------------------------------------------------------------------
// Naming

Status PhotoWorkflow::SelectPhoto(int index) {
  if (index == -1) {
    list_.SetCurrentIndex(-1);
    if (naming_.pattern == kNoPatternIndex && services_.catalogue->Count() > 0) naming_.pattern = 0;
    naming_.baseName = list_.BaseNames().NoBaseNameIndex();
    naming_.number = 0;
    naming_.pendingChange = naming_.typed = naming_.automatic = false;
    return S_OK;
  }
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  PhotoEntry& photo = list_.At(index);
  if ((photo.flags & kPhotoFullyRead) == 0) {
    TagFilter full;
    // Without room for the filter every tag is read, which is what the full pass asks for.
    IgnoreStatus(BuildFullPassFilter(&full));
    MetadataReadContext read;
    read.files = services_.readableFiles;
    read.strings = &Strings();
    // A photo whose metadata cannot be read is still shown, by its file date.
    IgnoreStatus(ReadPhotoMetadata(read, WorkingFolder(), &photo, &full, true));
    photo.flags |= kPhotoFullyRead;
  }
  list_.SetCurrentIndex(index);
  const bool unnamed = (photo.flags & kPhotoUnnamed) != 0;
  if (!unnamed) naming_.pattern = PatternIndex(photo);
  naming_.baseName = list_.BaseNames().NoBaseNameIndex();
  if (!unnamed && photo.baseNameLength > 0 &&
      photo.baseNameStart + photo.baseNameLength <= photo.fileName.Length()) {
    const int found = list_.BaseNames().Find(
        photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength));
    if (found >= 0) naming_.baseName = found;
  }
  naming_.number =
      unnamed ? proposer_.SequenceStartOf(naming_.pattern, true, nullptr) : photo.number;
  naming_.pendingChange = naming_.typed = naming_.automatic = false;
  return S_OK;
}

Status PhotoWorkflow::RefreshProposal() {
  const int current = list_.CurrentIndex();
  if (list_.IsEmpty() || current < 0) {
    newName_.Truncate(0);
    return S_OK;
  }
  CountedString name;
  const Status status =
      proposer_.ProposeName(current, naming_.pattern, naming_.baseName, naming_.number, name);
  if (Failed(status)) {
    newName_.Truncate(0);
    return status;
  }
  return newName_.Assign(name);
}

Status PhotoWorkflow::ChooseFreeNumber(int baseName, std::uint32_t start) {
  if (baseName < 0 || baseName >= list_.BaseNames().Count()) return E_INVALIDARG;
  naming_.baseName = baseName;
  naming_.number = start;
  CountedString name;
  std::uint32_t number = start;
  LT_TRY(proposer_.MakeUniqueName(name, list_.CurrentIndex(), naming_.pattern, baseName, &number));
  naming_.number = number;
  return S_OK;
}

Status PhotoWorkflow::CheckNewName(CountedString& name, int index, NameValues* values,
                                   NameCheckOptions options) {
  return CheckAnswering(name, index, values, options);
}

Status PhotoWorkflow::CheckAnswering(CountedString& name, int index, NameValues* values,
                                     NameCheckOptions& options) {
  for (;;) {
    const NameCheckResult result = checker_.Check(name, index, values, options);
    if (result.Accepted()) return S_OK;
    if (result.IsQuestion() && !options.quiet) {
      // Asked, then checked again with the answer.
      if (result.verdict == NameVerdict::kExtensionChange) {
        if (AskYesNo(Context(), result.messageId) != IDYES) return result.status;
        options.extensionChangeAgreed = true;
      } else {
        if (AskProposeUniqueName(Context()) != IDYES) return result.status;
        options.uniqueNameAgreed = true;
      }
      continue;
    }
    // The check's own failures are said even in a batch; refusals of the name only outside one.
    if (result.messageId != 0 && (!options.quiet || result.verdict == NameVerdict::kCheckFailed)) {
      // A message that cannot be shown leaves nothing more to do.
      IgnoreStatus(ShowErrorMessage(Context(), result.messageId));
    }
    return result.status;
  }
}

Status PhotoWorkflow::RenameFailed(Status status, bool quiet) {
  Refresh(kRefreshEnabling);
  // A message that cannot be shown leaves nothing more to do.
  if (status != E_CANCELLED && !quiet)
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
  return status;
}

void PhotoWorkflow::ReportRenameNotUndone(std::u16string_view name) {
  // A fixed buffer: this is said even when the heap is out of memory.
  MessageString text;
  if (Failed(LoadString(Strings(), IDS_ERR_RENAME_NOT_UNDONE, text)) ||
      Failed(SubstitutePlaceholder(text, 1, name))) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
    return;
  }
  ShowMessage(Context(), text.CStr(), MB_OK | MB_ICONERROR);
}

Status PhotoWorkflow::LockFolder(std::unique_ptr<FolderLock>* lock) {
  if (services_.folderLocks == nullptr) return S_OK;
  const Status status = services_.folderLocks->TryLock(WorkingFolder(), lock);
  if (status == E_FOLDER_BUSY) {
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_FOLDER_BUSY));
    return E_INVALID_INPUT;
  }
  // A folder that cannot even be opened fails at the move, with its own reason.
  return S_OK;
}

void PhotoWorkflow::ReportBatchFailure(int failed, std::u16string_view name, Status status) {
  CountedString text;
  CountedString reason;
  CountedString count;
  const bool one = failed == 1;
  if (Failed(LoadString(Strings(), one ? IDS_ERR_PHOTO_NOT_RENAMED : IDS_ERR_PHOTOS_NOT_RENAMED,
                        text)) ||
      Failed(LoadString(Strings(), BatchFailureReason(status), reason)) ||
      Failed(FormatUInt32(count, static_cast<std::uint32_t>(failed))) ||
      (!one && Failed(SubstitutePlaceholder(text, 3, count.View()))) ||
      Failed(SubstitutePlaceholder(text, 2, reason.View())) ||
      Failed(SubstitutePlaceholder(text, 1, name))) {
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
    return;
  }
  ShowMessage(Context(), text.CStr(), MB_OK | MB_ICONERROR);
}

Status PhotoWorkflow::RenamePhoto(CountedString& name, int index, NameValues* values,
                                  const NameCheckOptions& options) {
  NameCheckOptions answers = options;
  return RenameAnswering(name, index, values, answers);
}

Status PhotoWorkflow::RenameAnswering(CountedString& name, int index, NameValues* values,
                                      NameCheckOptions& options) {
  const bool quiet = options.quiet;
  if (index < 0 || index >= list_.Count()) return RenameFailed(E_INVALIDARG, quiet);
  const bool current = index == list_.CurrentIndex();
  // A batch read the folder once at its start.
  std::optional<CompanionScope> companions;
  if (!renamer_.InBatch()) {
    companions.emplace(renamer_);
    if (const Status read = PrepareCompanions(); Failed(read)) return RenameFailed(read, quiet);
  }
  Status status = CheckAnswering(name, index, values, options);
  if (Failed(status)) return RenameFailed(status, quiet);

  RenamePaths paths;
  status = renamer_.BuildPaths(WorkingFolder(), index, name.View(), &paths);
  if (Failed(status)) return RenameFailed(status, quiet);
  if (current && !renamer_.Pretending()) services_.view->ReleasePreview();
  const Status applied = renamer_.Apply(index, paths, name.View(), values->pattern);
  if (applied == E_RENAME_NOT_UNDONE) {
    // The list no longer matches the folder: said at once, even in a batch.
    ReportRenameNotUndone(name.View());
    return RenameFailed(applied, true);
  }
  if (Failed(applied)) return RenameFailed(applied, quiet);

  PhotoEntry& photo = list_.At(index);
  if (current) {
    int base = list_.BaseNames().NoBaseNameIndex();
    if (photo.baseNameLength > 0 &&
        photo.baseNameStart + photo.baseNameLength <= photo.fileName.Length()) {
      // A base name the list cannot take leaves the photo without one, as before the rename.
      IgnoreStatus(list_.BaseNames().Add(
          photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength), &base));
    }
    naming_.baseName = base;
    naming_.pendingChange = naming_.typed = naming_.automatic = false;
  }
  list_.SetCurrentIndex(index);
  if (applied == S_RENAMED_WITHOUT_PATTERN && !quiet) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowInformation(Context(), IDS_RENAMED_WITHOUT_PATTERN, photo.fileName.CStr()));
  }
  return applied;
}

// ---------------------------------------------------------------------------------------------
// Commands

Status PhotoWorkflow::Rename() {
  const int index = list_.CurrentIndex();
  if (index < 0 || newName_.Length() > kMaxPhotoNameLength) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
    return E_INVALID_INPUT;
  }
  if (newName_.Length() == 0) {
    // No proposal could be made (why was said then); an empty name is no name to check.
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
    return E_INVALID_INPUT;
  }
  CountedString name;
  LT_TRY(name.Assign(newName_));
  NameValues values{naming_.pattern, naming_.baseName, naming_.number};
  std::unique_ptr<FolderLock> lock;
  LT_TRY(LockFolder(&lock));
  const Status status = RenamePhoto(name, index, &values, NameCheckOptions());
  lock.reset();
  if (Failed(status)) return status;
  naming_.number = values.number;

  const NamingSettings& settings = *services_.settings;
  const bool last = index == list_.Count() - 1;
  if (settings.fileCheckBeeps) {
    services_.sounds->Play(SystemSound::kExclamation, last);
    if (last) services_.sounds->Play(SystemSound::kDefault, true);
  }
  const int next = list_.NextVisible(index);
  if (settings.advanceAfterRename && next >= 0) {
    const PhotoEntry& renamed = list_.At(index);
    const std::uint16_t renamedPattern = PatternIndex(renamed);
    int renamedBase = list_.BaseNames().NoBaseNameIndex();
    if (renamed.baseNameLength > 0) {
      const int found = list_.BaseNames().Find(
          renamed.fileName.View().substr(renamed.baseNameStart, renamed.baseNameLength));
      if (found >= 0) renamedBase = found;
    }
    // A photo whose details cannot be read is still selected; its fields stay empty.
    IgnoreStatus(SelectPhoto(next));
    if ((list_.At(next).flags & kPhotoUnnamed) && settings.baseOnLast &&
        renamedPattern != kNoPatternIndex) {
      naming_.pattern = renamedPattern;
      if (Succeeded(ChooseFreeNumber(renamedBase, 0))) {
        naming_.pendingChange = true;
        naming_.automatic = true;
      }
    }
  }
  Fill(kRefreshPhotoBox | kRefreshBaseName);
  Refresh(kRefreshAll);
  return status;
}

Status PhotoWorkflow::RenameRemaining(int* renamed, bool confirm, bool report) {
  if (renamed != nullptr) *renamed = 0;
  const int start = list_.CurrentIndex();
  if (start < 0) return S_OK;
  if (newName_.Length() == 0) {
    // No proposal could be made (why was said then); an empty name is no name to check.
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
    return E_INVALID_INPUT;
  }
  CountedString name;
  LT_TRY(name.Assign(newName_));
  NameValues checked{naming_.pattern, naming_.baseName, naming_.number};
  NameCheckOptions answers;
  CompanionScope companions(renamer_);
  if (const Status read = PrepareCompanions(); Failed(read)) {
    IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO));
    return read;
  }
  LT_TRY(CheckAnswering(name, start, &checked, answers));
  naming_.pattern = checked.pattern;
  naming_.baseName = checked.baseName;
  naming_.number = checked.number;

  std::vector<int> targets;
  for (int i = start; i < list_.Count(); ++i) {
    if (list_.IsVisibleInMode(i)) targets.push_back(i);
  }
  const int count = static_cast<int>(targets.size());
  if (count > 1 && confirm) {
    std::uint16_t question = IDS_ASK_RENAME_ALL;
    if (list_.NavigationMode() == kNavigateUnnamed) question = IDS_ASK_RENAME_UNNAMED;
    if (list_.NavigationMode() == kNavigateNamed) question = IDS_ASK_RENAME_NAMED;
    CountedString countText;
    LT_TRY(FormatUInt32(countText, static_cast<std::uint32_t>(count)));
    // The question lists every rename the batch is about to make.
    std::vector<PlannedRename> plan;
    LT_TRY(PlanBatch(name, targets, answers.extensionChangeAgreed, &plan));
    std::u16string details;
    LT_TRY(RenamePlanText(Strings(), plan, &details));
    if (AskYesNoWithDetails(Context(), question, countText.CStr(), details) != IDYES) {
      return E_CANCELLED;
    }
  }

  std::unique_ptr<FolderLock> lock;
  LT_TRY(LockFolder(&lock));
  renamer_.BeginBatch();
  const BatchOutcome outcome = RunBatch(name, targets, answers.extensionChangeAgreed, false);
  renamer_.EndBatch();
  lock.reset();
  const int done = outcome.done;
  if (renamed != nullptr) *renamed = done;
  naming_.pendingChange = naming_.typed = naming_.automatic = false;
  Fill(kRefreshAll);
  if (report) {
    CountedString doneText;
    LT_TRY(FormatUInt32(doneText, static_cast<std::uint32_t>(done)));
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowInformation(Context(), done == 1 ? IDS_PHOTO_RENAMED : IDS_PHOTOS_RENAMED,
                                 doneText.CStr()));
  }
  if (outcome.failed == 0) return S_OK;
  ReportBatchFailure(outcome.failed, outcome.firstFailedName, outcome.firstFailure);
  return E_PHOTOS_NOT_RENAMED;
}

PhotoWorkflow::BatchOutcome PhotoWorkflow::RunBatch(CountedString& name,
                                                    const std::vector<int>& targets,
                                                    bool extensionAgreed, bool preview) {
  // Each photo meets the name the photo before it took, finds it taken and takes the next free
  // number of the same pattern and base name. After a photo that failed, its name is no guide: the
  // next photo gets a proposal of its own (its own extension and metadata), from the number
  // reached.
  const int count = static_cast<int>(targets.size());
  const int start = targets.empty() ? -1 : targets.front();
  BatchOutcome outcome;
  int seen = 0;
  bool previousFailed = false;
  std::uint32_t number = naming_.number;
  for (int index : targets) {
    NameValues values{naming_.pattern, naming_.baseName, number};
    Status status = S_OK;
    if (previousFailed) {
      status =
          proposer_.MakeUniqueName(name, index, values.pattern, values.baseName, &values.number);
    }
    if (Succeeded(status)) {
      NameCheckOptions options;
      options.quiet = true;
      // The person agreed to the first photo's extension when its name was checked.
      options.extensionChangeAgreed = index == start && extensionAgreed;
      const std::u16string oldName(list_.At(index).fileName.View());
      status = RenameAnswering(name, index, &values, options);
      // A file or folder outside the list holds the name: the next free number is taken.
      for (int skipped = 0; status == E_TARGET_UNLISTED && skipped < kMaxUnlistedSkips; ++skipped) {
        if (values.number == UINT32_MAX) break;
        const std::u16string held(name.View());
        ++values.number;
        status =
            proposer_.MakeUniqueName(name, index, values.pattern, values.baseName, &values.number);
        // A pattern without a number makes the same name again: there is no free one.
        if (Succeeded(status) && name.View() == held) status = E_TARGET_UNLISTED;
        if (Failed(status)) break;
        status = RenameAnswering(name, index, &values, options);
      }
      number = values.number;
      // Photos passed on purpose (a name that would change the extension) are no failure; a list
      // that could not follow its folder was reported at once.
      if (Failed(status) && status != E_CANCELLED && status != E_RENAME_NOT_UNDONE) {
        if (outcome.failed++ == 0) {
          outcome.firstFailure = status;
          outcome.firstFailedName = oldName;
        }
      }
    }
    previousFailed = Failed(status);
    if (!previousFailed) ++outcome.done;
    if (!preview && onBatchProgress) onBatchProgress(++seen, count);
  }
  return outcome;
}

Status PhotoWorkflow::PlanBatch(const CountedString& firstName, const std::vector<int>& targets,
                                bool extensionAgreed, std::vector<PlannedRename>* plan) {
  plan->clear();
  // The batch runs on the list with moves that only pretend; the list and the naming state are
  // put back afterwards.
  struct Saved {
    int index;
    CountedString fileName;
    std::uint32_t flags;
    std::uint16_t pattern;
    std::uint16_t baseStart;
    std::uint16_t baseLength;
    std::uint32_t number;
  };
  std::vector<Saved> saved;
  saved.reserve(targets.size());
  for (const int index : targets) {
    const PhotoEntry& photo = list_.At(index);
    Saved entry{
        index,       {}, photo.flags, photo.patternIndex, photo.baseNameStart, photo.baseNameLength,
        photo.number};
    LT_TRY(entry.fileName.Assign(photo.fileName));
    saved.push_back(std::move(entry));
  }
  const NamingState naming = naming_;
  const int current = list_.CurrentIndex();
  CountedString name;
  LT_TRY(name.Assign(firstName));

  auto onRenamed = std::move(renamer_.onRenamed);
  auto onCompanionRenamed = std::move(renamer_.onCompanionRenamed);
  renamer_.onRenamed = [plan](std::u16string_view from, std::u16string_view to) {
    plan->push_back({std::u16string(from), std::u16string(to), false});
  };
  renamer_.onCompanionRenamed = [plan](std::u16string_view from, std::u16string_view to) {
    plan->push_back({std::u16string(from), std::u16string(to), true});
  };
  renamer_.SetPretend(true);
  renamer_.BeginBatch();
  RunBatch(name, targets, extensionAgreed, true);
  renamer_.EndBatch();
  renamer_.SetPretend(false);
  renamer_.onRenamed = std::move(onRenamed);
  renamer_.onCompanionRenamed = std::move(onCompanionRenamed);

  Status restored = S_OK;
  for (const Saved& entry : saved) {
    if (const Status s = list_.SetFileName(entry.index, entry.fileName.View()); Failed(s)) {
      restored = s;
    }
    list_.SetUnnamed(entry.index, (entry.flags & kPhotoUnnamed) != 0);
    PhotoEntry& photo = list_.At(entry.index);
    photo.flags = entry.flags;
    photo.patternIndex = entry.pattern;
    photo.baseNameStart = entry.baseStart;
    photo.baseNameLength = entry.baseLength;
    photo.number = entry.number;
  }
  list_.SetCurrentIndex(current);
  naming_ = naming;
  // The folder as it is, for the batch itself.
  const Status read = PrepareCompanions();
  return Failed(restored) ? restored : read;
}

Status RenamePlanText(const StringModule& strings, const std::vector<PlannedRename>& plan,
                      std::u16string* text) {
  text->clear();
  CountedString form;
  LT_TRY(LoadString(strings, IDS_RENAME_PREVIEW_LINE, form));
  // The placeholders are filled in one pass, so that a name holding "{2}" stays as it is.
  const std::u16string_view pattern = form.View();
  for (const PlannedRename& rename : plan) {
    if (!text->empty()) text->push_back(u'\n');
    if (rename.companion) text->append(u"  ");
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      if (pattern[i] == u'{' && i + 2 < pattern.size() && pattern[i + 2] == u'}' &&
          (pattern[i + 1] == u'1' || pattern[i + 1] == u'2')) {
        text->append(pattern[i + 1] == u'1' ? rename.oldName : rename.newName);
        i += 2;
      } else {
        text->push_back(pattern[i]);
      }
    }
  }
  return S_OK;
}

Status PhotoWorkflow::Delete() {
  const int index = list_.CurrentIndex();
  if (index < 0) return S_OK;
  if (AskYesNo(Context(), IDS_ASK_RECYCLE_PHOTO, list_.At(index).fileName.CStr()) != IDYES) {
    return E_CANCELLED;
  }
  services_.view->ReleasePreview();
  PathString path;
  Status status = BuildPath(list_.At(index).fileName.View(), path);
  if (Succeeded(status)) status = RecycleFile(*services_.files, path.View());
  if (Failed(status)) {
    // A message that cannot be shown leaves nothing more to do.
    if (status != E_CANCELLED) IgnoreStatus(ShowErrorMessage(Context(), IDS_ERR_DELETE_PHOTO));
    Refresh(kRefreshPreview);
    return status;
  }
  const int count = list_.Count();
  int next = list_.NextVisible(index);
  if (next >= 0) {
    next -= 1;
  } else if (count > 1) {
    next = index == count - 1 ? index - 1 : index;
  } else {
    next = -1;
  }
  list_.SetCurrentIndex(-1);
  list_.RemoveAt(index);
  // A photo whose details cannot be read is still selected; its fields stay empty.
  IgnoreStatus(SelectPhoto(next));
  naming_.pendingChange = naming_.typed = naming_.automatic = false;
  Fill(kRefreshPhotoBox);
  Refresh(kRefreshAll);
  if (next >= 0 && next == list_.Count() - 1 && services_.settings->fileCheckBeeps) {
    services_.sounds->Play(SystemSound::kDefault, false);
  }
  return S_OK;
}

Status PhotoWorkflow::ChoosePattern(std::u16string_view name) {
  const int index = services_.catalogue->Find(name);
  if (index < 0 || index == naming_.pattern) return S_OK;
  if (naming_.typed && list_.CurrentIndex() >= 0) {
    PhotoEntry& photo = list_.At(list_.CurrentIndex());
    const PatternListView naming = PatternListView::Naming(*services_.catalogue);
    BestPattern reading;
    if (Succeeded(FindBestPattern(&naming, &photo, &newName_, &proposer_.Lookup(), &reading)) &&
        reading.index != kNoPatternMatched) {
      int base = list_.BaseNames().NoBaseNameIndex();
      bool added = false;
      if (reading.baseLength > 0 && reading.baseStart + reading.baseLength <= newName_.Length()) {
        LT_TRY(list_.BaseNames().Add(newName_.View().substr(reading.baseStart, reading.baseLength),
                                     &base, &added));
      }
      if (added) Fill(kRefreshBaseName);
      naming_.baseName = base;
      naming_.number = reading.number;
    }
  }
  naming_.pattern = static_cast<std::uint16_t>(index);
  services_.catalogue->SetDefaultIndex(static_cast<std::uint16_t>(index));
  MarkSettingsChanged();
  if (Succeeded(ChooseFreeNumber(naming_.baseName,
                                 proposer_.SequenceStartOf(naming_.pattern, true, nullptr)))) {
    naming_.pendingChange = true;
    naming_.automatic = false;
  }
  Refresh(kRefreshAll);
  return S_OK;
}

void PhotoWorkflow::SetCurrentPattern(std::uint16_t index) {
  naming_.pattern = proposer_.PatternAt(index) != nullptr ? index : kNoPatternIndex;
}

void PhotoWorkflow::BaseNameTyped() {
  naming_.pendingChange = true;
  naming_.automatic = false;
  Refresh(kRefreshEnabling);
}

Status PhotoWorkflow::ChooseBaseName(std::u16string_view text, bool typed, bool enter) {
  int index = list_.BaseNames().NoBaseNameIndex();
  if (!text.empty()) {
    const Status added = list_.BaseNames().Add(text, &index);
    if (Failed(added)) {
      // A message that cannot be shown leaves nothing more to do.
      IgnoreStatus(ShowErrorMessage(Context(), IDS_CONTROLS_NOT_UPDATED));
      return added;
    }
  }
  Status status = S_OK;
  if (index != naming_.baseName || typed) {
    status = ChooseFreeNumber(index, proposer_.SequenceStartOf(naming_.pattern, true, nullptr));
    naming_.baseName = index;
    naming_.pendingChange = true;
    naming_.automatic = false;
    if (typed) Fill(kRefreshBaseName);
  }
  Refresh(kRefreshNewName | kRefreshEnabling | kRefreshBaseName);
  if (enter && Succeeded(status)) return Rename();
  return status;
}

void PhotoWorkflow::NewNameEdited(std::u16string_view text) {
  if (naming_.updating) return;
  if (Failed(newName_.Assign(text))) return;
  const int current = list_.CurrentIndex();
  if (current < 0 || (list_.At(current).flags & kPhotoUnnamed) == 0) {
    naming_.pendingChange = naming_.typed = true;
  } else {
    naming_.pendingChange = naming_.typed = !text.empty();
  }
  naming_.automatic = false;
  naming_.updating = true;
  services_.view->RefreshWindowState(kRefreshEnabling);
  naming_.updating = false;
}

Status PhotoWorkflow::AskBeforeLeaving() {
  if (!naming_.pendingChange || naming_.automatic) return S_OK;
  const int answer = AskRenameBeforeProceeding(Context());
  if (answer == IDCANCEL) return E_CANCELLED;
  if (answer != IDYES) return S_OK;
  CountedString name;
  LT_TRY(name.Assign(newName_));
  NameValues values{naming_.pattern, naming_.baseName, naming_.number};
  std::unique_ptr<FolderLock> lock;
  // While another program renames here the person stays on the photo (and was told why).
  if (Failed(LockFolder(&lock))) return E_CANCELLED;
  const Status status = RenamePhoto(name, list_.CurrentIndex(), &values, NameCheckOptions());
  lock.reset();
  Fill(kRefreshPhotoBox | kRefreshBaseName);
  // A rename that failed was reported; the person stays on the photo.
  return Failed(status) ? E_CANCELLED : S_OK;
}

Status PhotoWorkflow::Navigate(int target) {
  LT_TRY(AskBeforeLeaving());
  if (target >= 0) LT_TRY(SelectPhoto(target));
  Refresh(kRefreshAll);
  return S_OK;
}

Status PhotoWorkflow::GoFirst() {
  return Navigate(list_.FirstVisible());
}
Status PhotoWorkflow::GoPrevious() {
  return Navigate(list_.PreviousVisible(list_.CurrentIndex()));
}
Status PhotoWorkflow::GoNext() {
  return Navigate(list_.NextVisible(list_.CurrentIndex()));
}
Status PhotoWorkflow::GoLast() {
  return Navigate(list_.LastVisible());
}

Status PhotoWorkflow::ChoosePhoto(int index) {
  if (index == list_.CurrentIndex()) return S_OK;
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  return Navigate(index);
}

Status PhotoWorkflow::ChangeNavigationMode(std::uint32_t mode) {
  if (mode == list_.NavigationMode()) return S_OK;
  const std::uint32_t previous = list_.NavigationMode();
  list_.SetNavigationMode(mode);
  const int current = list_.CurrentIndex();
  int target = current;
  if (current >= 0 && !list_.IsVisibleInMode(current)) {
    target = list_.NextVisible(current);
    if (target < 0) target = list_.PreviousVisible(current);
    if (target < 0) target = current;
  }
  if (target != current) {
    const Status asked = AskBeforeLeaving();
    if (Failed(asked)) {
      list_.SetNavigationMode(previous);
      Refresh(kRefreshNavigation);
      return asked;
    }
    // A photo whose details cannot be read is still selected; its fields stay empty.
    IgnoreStatus(SelectPhoto(target));
  }
  services_.settings->fileNavigationMode = mode;
  MarkSettingsChanged();
  Refresh(kRefreshAll);
  return S_OK;
}

bool PhotoWorkflow::CanRename() const {
  return naming_.pendingChange && !list_.IsEmpty() && !newName_.IsEmpty();
}
bool PhotoWorkflow::CanGoFirst() const {
  const int first = list_.FirstVisible();
  return first >= 0 && first != list_.CurrentIndex();
}
bool PhotoWorkflow::CanGoPrevious() const {
  return list_.PreviousVisible(list_.CurrentIndex()) >= 0;
}
bool PhotoWorkflow::CanGoNext() const {
  return list_.NextVisible(list_.CurrentIndex()) >= 0;
}
bool PhotoWorkflow::CanGoLast() const {
  const int last = list_.LastVisible();
  return last >= 0 && last != list_.CurrentIndex();
}

}  // namespace lumatag
