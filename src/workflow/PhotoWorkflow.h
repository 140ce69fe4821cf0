// The photo folder workflow: scanning the working folder into the photo list, the naming state of
// the current photo, proposing, checking and applying a new name, Rename Remaining, Delete and the
// navigation commands. A front-end (the desktop window or the command-line program) holds one of
// these and a WorkflowView; it shows what the workflow holds and routes the person's actions here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "metadata/IfdReader.h"
#include "patterns/NameGenerator.h"
#include "patterns/PatternCatalogue.h"
#include "ports/FileOperations.h"
#include "ports/ReadableFile.h"
#include "ports/SettingsRecords.h"
#include "ports/SoundPlayer.h"
#include "workflow/ExtensionList.h"
#include "workflow/ExtensionListLookup.h"
#include "workflow/PhotoList.h"
#include "workflow/WorkflowView.h"

namespace lumatag {

// The longest new name a photo can take, in characters.
inline constexpr int kMaxPhotoNameLength = 255;

// A status of this workflow: the file was renamed, but its new name follows no naming pattern.
// The photo is then recorded as named without a pattern (a success status).
inline constexpr Status S_RENAMED_WITHOUT_PATTERN = 0x00000507;

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
  // The settings-changed mark of the application.
  bool* settingsChanged = nullptr;
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

  // ---- Photo list ----------------------------------------------------------------------------
  // Rebuilds the photo list from the working folder (`clear`: drop what is held first;
  // `rebuildTagList`: collect the quick-pass tags from the catalogue again). Failures are shown.
  Status RefreshPhotoList(bool clear, bool rebuildTagList);
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

  // Classifies a listed photo by its file name: pattern index, base-name span, number and the
  // unnamed flags.
  Status ClassifyName(PhotoEntry& photo);

  // ---- Naming ----------------------------------------------------------------------------------
  Status SelectPhoto(int index);
  // The proposal for a photo (empty when there is none).
  Status ProposeName(int index, std::uint16_t pattern, int baseName, std::uint32_t number,
                     CountedString& name);
  Status MakeUniqueName(CountedString& name, int index, std::uint16_t pattern, int baseName,
                        std::uint32_t* number);
  Status ChooseFreeNumber(int baseName, std::uint32_t start);
  Status CheckExtension(CountedString& name, int index, bool ask);
  Status CheckNewName(CountedString& name, int index, std::uint16_t* pattern, int* baseName,
                      std::uint32_t* number, bool quiet);
  Status RenamePhoto(CountedString& name, int index, std::uint16_t pattern, int baseName,
                     std::uint32_t* number, bool quiet);

  // ---- Commands ------------------------------------------------------------------------------
  Status Rename();
  // `renamed` receives the number of photos renamed. Without `confirm` the question before
  // renaming several photos is taken as answered Yes (a front-end asked it already).
  Status RenameRemaining(int* renamed = nullptr, bool confirm = true);
  Status Delete();
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

  // The base-name text the naming state stands for.
  std::u16string_view CurrentBaseNameText() const;
  const NamingPattern* PatternAt(std::uint16_t index) const;

 private:
  AppContext& Context() { return *services_.context; }
  const StringModule& Strings() const { return *services_.context->resourceModule; }
  void MarkSettingsChanged();
  void Refresh(std::uint32_t mask);
  void Fill(std::uint32_t mask);
  Status Navigate(int target);
  Status BuildPath(std::u16string_view name, CountedString& path) const;
  // The sequence start of a pattern for the first photo or the others.
  std::uint32_t SequenceStartOf(std::uint16_t pattern, bool firstPhoto, bool* found) const;
  // GenerateName plus the photo's extension.
  Status GenerateWithExtension(int index, std::uint16_t pattern, int baseName, bool firstPhoto,
                               std::uint32_t number, CountedString& name);
  // Reads a name back: the pattern it matches best, its base-name span and number.
  Status ReadNameBack(PhotoEntry& photo, std::u16string_view name, std::uint16_t pattern,
                      std::uint16_t* matched, std::uint16_t* baseStart, std::uint16_t* baseLength,
                      std::uint32_t* number);
  Status RenameFailed(Status status, bool quiet);

  WorkflowServices services_;
  ExtensionListLookup lookup_;
  NamingEnvironment environment_;
  PhotoList list_;
  NamingState naming_;
  CountedString newName_;
  TagFilter quickPassTags_;
  // While Rename Remaining runs: the "to All" answer of the overwrite question, 0 before one.
  bool inBatch_ = false;
  int batchAnswer_ = 0;
};

}  // namespace lumatag
