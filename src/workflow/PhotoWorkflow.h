// The photo workflow controller that a front-end (the desktop window or the command-line program)
// holds with a WorkflowView: the photo list and the naming state of the current photo, and the
// person's commands: scanning the working folder, navigation, proposing, checking and applying a
// new name, Rename Remaining and Delete. The work of each stage lives in its own piece
// (PhotoScanner, NameProposal, NameCheck, PhotoRenamer); the controller asks the person and shows
// the results.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "metadata/IfdReader.h"
#include "patterns/NameGenerator.h"
#include "patterns/PatternCatalogue.h"
#include "ports/FileOperations.h"
#include "ports/FolderLock.h"
#include "ports/ReadableFile.h"
#include "ports/SettingsRecords.h"
#include "ports/SoundPlayer.h"
#include "workflow/ExtensionList.h"
#include "workflow/ExtensionListLookup.h"
#include "workflow/NameCheck.h"
#include "workflow/NameProposal.h"
#include "workflow/PhotoList.h"
#include "workflow/PhotoRenamer.h"
#include "workflow/PhotoScanner.h"
#include "workflow/WorkflowView.h"

namespace lumatag {

// Rename Remaining could not rename every photo; the person was told which and why.
inline constexpr Status E_PHOTOS_NOT_RENAMED = MakeStatus(0x80000533);

// Everything the workflow works with; the application object owns all of it.
struct WorkflowServices {
  AppContext* context = nullptr;
  FileOperations* files = nullptr;
  const ReadableFileSystem* readableFiles = nullptr;
  SoundPlayer* sounds = nullptr;
  WorkflowView* view = nullptr;
  PatternCatalogue* catalogue = nullptr;
  ExtensionList* extensions = nullptr;
  NamingSettings* settings = nullptr;
  // Where renames are written down so that they can be undone (none: not written down), and the
  // clock that dates its batches.
  RenameJournal* journal = nullptr;
  const Clock* clock = nullptr;
  // The settings-changed mark of the application.
  bool* settingsChanged = nullptr;
  // Locks the working folder while photos are renamed in it, so that two programs never name
  // photos over each other; none when there is no other program to keep out (a dry run, tests).
  FolderLocker* folderLocks = nullptr;
};

// The naming state of the current photo.
struct NamingState {
  std::uint16_t pattern = kNoPatternIndex;
  std::int32_t baseName = -1;
  std::uint32_t number = 0;
  bool pendingChange = false;
  bool typed = false;
  bool automatic = false;
  bool updating = false;
};

// One rename of a batch, as the confirmation lists it.
struct PlannedRename {
  std::u16string oldName;
  std::u16string newName;
  bool companion = false;  // a companion file moving with the photo listed before it
};

// The list of a batch's renames for the confirmation's details area: one line "OLD → NEW" per
// rename (the string table's form), companions indented by two spaces under their photo.
Status RenamePlanText(const StringModule& strings, const std::vector<PlannedRename>& plan,
                      std::u16string* text);

class PhotoWorkflow {
 public:
  explicit PhotoWorkflow(const WorkflowServices& services);

  PhotoList& Photos() { return list_; }
  const PhotoList& Photos() const { return list_; }
  const NamingState& Naming() const { return naming_; }
  // The text of the new-name box.
  std::u16string_view NewNameText() const { return newName_.View(); }
  std::u16string_view WorkingFolder() const { return services_.settings->imageFolder.View(); }
  const TagFilter& QuickPassTags() const { return quickPassTags_; }

  // Called after each file actually moved (old and new file name), for front-ends that list what
  // was done.
  std::function<void(std::u16string_view oldName, std::u16string_view newName)> onRenamed;
  // Called after onRenamed for each companion file (RAW, sidecar) that moved with its photo.
  std::function<void(std::u16string_view oldName, std::u16string_view newName)> onCompanionRenamed;
  // Called during Rename Remaining after each photo: photos done (renamed or not) and the total.
  std::function<void(int done, int total)> onBatchProgress;

  // ---- Photo list ----------------------------------------------------------------------------
  // Rebuilds the photo list from the working folder (`clear`: drop what is held first;
  // `rebuildTagList`: collect the quick-pass tags from the catalogue again). Failures are shown.
  Status RefreshPhotoList(bool clear, bool rebuildTagList, const ScanControl& control = {});
  // The same in two steps, for a scan on a worker thread while the list shown stays as it is:
  // PrepareScan on the user-interface thread (failures are shown), ScanJob::Run on the worker,
  // then FinishScan on the user-interface thread, which puts the new list in place of the old one,
  // selects its first visible photo and refreshes the window. A cancelled scan (E_CANCELLED) leaves
  // the old list and everything else as it was. The catalogue must not change while the job runs.
  Status PrepareScan(bool rebuildTagList, ScanJob* job);
  Status FinishScan(ScanOutcome&& outcome);
  // Makes `folder` the working folder and rescans when it differs (case-sensitive).
  Status ChangeWorkingFolder(std::u16string_view folder);
  // The Folder command: asks about a pending name change, offers the folder choice (starting at
  // the working folder, else at `lastChosen`), and makes the chosen folder the working folder.
  // `chosen` receives the folder, for the caller to keep as the next start folder and to save the
  // settings with. Failures are shown; E_CANCELLED when the person cancelled.
  Status ChooseFolderCommand(FolderChooser& chooser, std::u16string_view lastChosen,
                             std::u16string* chosen);
  // The quick-pass tag list: DateTimeOriginal, Orientation and every tag a pattern names.
  Status RebuildQuickPassTags();

  // ---- Naming ----------------------------------------------------------------------------------
  Status SelectPhoto(int index);
  // The proposal for a photo (empty when there is none).
  Status ProposeName(int index, std::uint16_t pattern, int baseName, std::uint32_t number,
                     CountedString& name) const {
    return proposer_.ProposeName(index, pattern, baseName, number, name);
  }
  Status ChooseFreeNumber(int baseName, std::uint32_t start);
  // Checks a new name for photo `index`, asking the person where the check has a question and
  // showing what is wrong (unless `options.quiet`). The name and values may be replaced by a
  // unique name.
  Status CheckNewName(CountedString& name, int index, NameValues* values, NameCheckOptions options);
  // Checks and applies a new name; failures are shown unless quiet. `values` receives the values
  // of the name applied.
  Status RenamePhoto(CountedString& name, int index, NameValues* values,
                     const NameCheckOptions& options);

  // ---- Commands ------------------------------------------------------------------------------
  Status Rename();
  // `renamed` receives the number of photos renamed. Without `confirm` the question before
  // renaming several photos is taken as answered Yes (a front-end asked it already); with it, the
  // question's details list every rename the batch will make, companions included.
  // Without `report` the closing "{1} photos were renamed." is left to the caller. A name held by a
  // file or folder outside the list is passed for the next free number. When a photo could not be
  // renamed (a read-only folder, a name too long for the file system, ...), the first such photo
  // and the reason are shown after the batch, and the result is E_PHOTOS_NOT_RENAMED.
  Status RenameRemaining(int* renamed = nullptr, bool confirm = true, bool report = true);
  Status Delete();
  // Makes a pattern current without marking the settings changed (start-up, a replaced
  // catalogue); the proposal follows at the next refresh.
  void SetCurrentPattern(std::uint16_t index);
  // Pattern box: a pattern chosen by name.
  Status ChoosePattern(std::u16string_view name);
  // Base-name box: typing in its edit part.
  void BaseNameTyped();
  // Base-name box: an item chosen or the box left (`typed`: the text was typed, not chosen);
  // `enter`: Enter was pressed, so Rename follows.
  Status ChooseBaseName(std::u16string_view text, bool typed, bool enter);
  // New-name box: the person changed its text.
  void NewNameEdited(std::u16string_view text);
  // Asks whether a pending name change is to be applied before the current photo is left.
  Status AskBeforeLeaving();
  Status ChangeNavigationMode(std::uint32_t mode);
  Status GoFirst();
  Status GoPrevious();
  Status GoNext();
  Status GoLast();
  // Photo box: a photo chosen directly.
  Status ChoosePhoto(int index);

  // ---- Window state ----------------------------------------------------------------------------
  // The new-name box refreshed from the proposal.
  Status RefreshProposal();
  bool CanRename() const;
  bool CanGoFirst() const;
  bool CanGoPrevious() const;
  bool CanGoNext() const;
  bool CanGoLast() const;
  bool CanDelete() const { return !list_.IsEmpty(); }
  bool CanRenameRemaining() const { return CanRename(); }

  // The base-name text the naming state stands for.
  std::u16string_view CurrentBaseNameText() const;
  const NamingPattern* PatternAt(std::uint16_t index) const { return proposer_.PatternAt(index); }

 private:
  AppContext& Context() { return *services_.context; }
  const StringModule& Strings() const { return *services_.context->resourceModule; }
  void MarkSettingsChanged();
  void Refresh(std::uint32_t mask);
  void Fill(std::uint32_t mask);
  Status Navigate(int target);
  // Drops the naming state of the photo shown before a scan.
  void ResetNaming();
  Status RenameFailed(Status status, bool quiet);
  Status BuildPath(std::u16string_view name, CountedString& path) const;
  // CheckNewName and RenamePhoto, keeping the answers the person gave in `options`.
  Status CheckAnswering(CountedString& name, int index, NameValues* values,
                        NameCheckOptions& options);
  Status RenameAnswering(CountedString& name, int index, NameValues* values,
                         NameCheckOptions& options);
  void ReportRenameNotUndone(std::u16string_view name);
  // Reads the working folder for the companion files of a rename or a batch (when they are on).
  Status PrepareCompanions();
  // What a batch did: the photos renamed, and those that could not be (the first with its reason).
  struct BatchOutcome {
    int done = 0;
    int failed = 0;
    Status firstFailure = S_OK;
    std::u16string firstFailedName;
  };
  // The loop of Rename Remaining over `targets`, the first photo's checked name in `name`. A
  // preview reports no progress.
  BatchOutcome RunBatch(CountedString& name, const std::vector<int>& targets, bool extensionAgreed,
                        bool preview);
  // The renames RunBatch would make, worked out exactly as it works (with moves that only
  // pretend), then the list and the naming state put back.
  Status PlanBatch(const CountedString& firstName, const std::vector<int>& targets,
                   bool extensionAgreed, std::vector<PlannedRename>* plan);
  // Takes the working folder's lock for a rename; tells the person when another program holds it.
  Status LockFolder(std::unique_ptr<FolderLock>* lock);
  // Tells that `failed` photos of a batch could not be renamed, the first being `name`, and why.
  void ReportBatchFailure(int failed, std::u16string_view name, Status status);

  WorkflowServices services_;
  PhotoList list_;
  NameProposer proposer_;
  NameChecker checker_;
  PhotoRenamer renamer_;
  NamingState naming_;
  CountedString newName_;
  TagFilter quickPassTags_;
};

}  // namespace lumatag
