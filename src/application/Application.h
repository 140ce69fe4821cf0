// The application host: everything that lives for the whole run of a front-end, without a window.
// It owns the heap, the application context and its string tables, the keyword table, the built-in
// and stored patterns, the photo file extension list, the settings store, the window and naming
// settings, the settings-changed mark, the busy state and the photo workflow. The front-end hands
// it the real ports (files, settings storage, messages, sounds, standard folders) and a view.
//
// Start-up without a window: Load (heap, window settings, title, keyword table and built-in
// patterns, naming settings, lists); then the front-end creates its window, CreateWorkflow with
// its view, and Scan (or a scan on a worker thread through the workflow's PrepareScan).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/AppContext.h"
#include "patterns/KeywordTable.h"
#include "patterns/PatternCatalogue.h"
#include "ports/Clock.h"
#include "ports/FileOperations.h"
#include "ports/JournalStore.h"
#include "ports/MessagePresenter.h"
#include "ports/ReadableFile.h"
#include "ports/RegistryStore.h"
#include "ports/SettingsRecords.h"
#include "ports/SettingsStore.h"
#include "ports/SoundPlayer.h"
#include "ports/StandardFolders.h"
#include "ports/TextComparer.h"
#include "workflow/ExtensionList.h"
#include "workflow/PhotoWorkflow.h"
#include "workflow/RenameJournal.h"
#include "workflow/WorkflowView.h"

namespace lumatag {

// The outside world, as the front-end wires it. Every port must outlive the Application.
struct ApplicationPorts {
  RegistryStore* registry = nullptr;
  FileOperations* files = nullptr;
  const ReadableFileSystem* readableFiles = nullptr;
  StandardFolders* folders = nullptr;
  SoundPlayer* sounds = nullptr;
  MessagePresenter* presenter = nullptr;
  // The locale-neutral text comparison of the platform.
  const TextComparer* textComparer = nullptr;
  // Where renames are written down so that they can be undone (none: they are not), and the clock
  // that dates them.
  JournalStore* journal = nullptr;
  const Clock* clock = nullptr;
  // The folder lock that keeps two programs from renaming in one folder at once; none: no lock.
  FolderLocker* folderLocks = nullptr;
};

// A dialog's working copy of the settings it may change (Options, the Patterns Manager, the
// Photo File Extension Manager, the folder choice).
struct SettingsCopy {
  CountedString imageFolder;
  PatternCatalogue patterns;
  // The index in `patterns` of the pattern that is current now, when the dialog followed it (so a
  // renamed pattern stays current); -1: the current pattern is looked up by its name.
  int currentPattern = -1;
  ExtensionList extensions;
  bool showFilePreview = true;
  bool advanceAfterRename = true;
  bool fileCheckBeeps = true;
  bool showWindowTips = true;
  // "Default to same pattern and base name as last photo": compared and saved like the others, so
  // that a change of it alone is not lost.
  bool baseOnLast = true;
  bool renameCompanions = true;
};

// What applying a settings copy changed and what the window must show again.
struct SettingsApplied {
  bool changed = false;    // something differed (both setting groups were saved)
  bool rescanned = false;  // the folder, the patterns or the extensions changed
  bool saveFailed = false;
  // Parts of the window to refresh (kRefresh... of WorkflowView.h); nothing a rescan refreshed.
  std::uint32_t refresh = 0;
  bool showWindowTips = true;  // tooltips on or off
};

class Application {
 public:
  explicit Application(const ApplicationPorts& ports);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The start-up steps that need no window. A failure ends start-up.
  Status Load();
  // Creates the workflow over the loaded settings, showing through `view` (which must outlive
  // it), with the default pattern as the current pattern.
  Status CreateWorkflow(WorkflowView& view);
  // What a workflow over this application's lists and settings works with.
  WorkflowServices Services(WorkflowView& view);
  // The first scan: the photo list rebuilt with the tag list (failures are shown).
  Status Scan(const ScanControl& control = {});

  AppContext& Context() { return context_; }
  const KeywordTable& Keywords() const { return keywords_; }
  PatternCatalogue& Catalogue() { return catalogue_; }
  ExtensionList& Extensions() { return extensions_; }
  SettingsStore& Store() { return *store_; }
  WindowSettings& Window() { return window_; }
  NamingSettings& Naming() { return naming_; }
  PhotoWorkflow& Workflow() { return *workflow_; }
  // The rename journal, when the front-end gave it a store.
  RenameJournal* Journal() { return journal_.get(); }
  bool HasWorkflow() const { return workflow_ != nullptr; }

  bool SettingsChanged() const { return settingsChanged_; }
  void MarkSettingsChanged() { settingsChanged_ = true; }
  // Non-zero while a modal shell dialog is open: exit is refused then.
  int Busy() const { return busy_; }
  void SetBusy(int busy) { busy_ = busy; }

  // Saves both setting groups and clears the mark when all went well; `showCommand` gives the main
  // window's show command (none without a window).
  Status SaveSettings(const ShowCommandSource& showCommand = {});
  // Saves both groups when the settings are marked changed.
  Status SaveIfChanged(const ShowCommandSource& showCommand = {});
  // Exit: refused while busy ("Cannot exit the application right now."), asks about a pending
  // name change (E_CANCELLED keeps the program running), then saves when changed. Save failures
  // are not shown.
  Status Exit(const ShowCommandSource& showCommand = {});

  // The Folder command: offers the folder choice (at the working folder, else at the folder chosen
  // last time), makes the chosen folder the working folder, rescans when there is a workflow, and
  // saves both setting groups (S_FALSE when they could not be saved). E_CANCELLED when the person
  // cancelled.
  Status FolderCommand(FolderChooser& chooser);

  // A copy of the current settings for a dialog to work on.
  Status CopySettings(SettingsCopy* copy) const;
  // Applying a dialog's copy: compares it with the current settings, replaces them, saves both
  // groups at once when anything changed, rescans when the folder, the patterns or the extensions
  // changed, and says what the window must show again. The current pattern stays the same pattern
  // (by name) when the catalogue was re-sorted.
  Status ApplySettingsCopy(const SettingsCopy& copy, SettingsApplied* applied);

  // Undo Rename: whether the rename journal holds a batch of the working folder.
  bool CanUndoRename();
  // The command: asks about a pending name change, then whether to give the files of the working
  // folder's last batch their old names back (naming the count), undoes it (itself a batch that
  // can be undone), rescans and reports. Nothing happens when there is nothing to undo. Failures
  // are shown; E_CANCELLED when the person said No.
  Status UndoRenameCommand();

 private:
  // The working folder as the journal records it (with its separator).
  std::u16string JournalFolder() const;

  ApplicationPorts ports_;
  AppContext context_;
  KeywordTable keywords_;
  PatternCatalogue catalogue_;
  ExtensionList extensions_;
  std::unique_ptr<SettingsStore> store_;
  WindowSettings window_;
  NamingSettings naming_;
  bool settingsChanged_ = false;
  int busy_ = 0;
  std::u16string lastChosenFolder_;
  std::unique_ptr<RenameJournal> journal_;
  std::unique_ptr<PhotoWorkflow> workflow_;
};

// Whether two catalogues hold the same patterns: count, then each name, definition and
// description (case-sensitive).
bool SameCatalogue(const PatternCatalogue& a, const PatternCatalogue& b);

}  // namespace lumatag
