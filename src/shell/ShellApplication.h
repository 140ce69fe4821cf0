// The desktop program's application object: the application host (settings, string tables,
// pattern catalogue, extension list, the workflow) with what only a desktop needs around it (the
// interface language, help pages, the main window), start-up in its fixed order, exit and shutdown.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "application/Application.h"
#include "foundation/AppContext.h"
#include "foundation/StringTable.h"
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
#include "shell/HelpPages.h"
#include "shell/UiLocale.h"
#include "shell/WorkflowFront.h"
#include "workflow/ExtensionList.h"

namespace lumatag::ui {
class QtMessagePresenter;
struct UiContext;
}  // namespace lumatag::ui

namespace lumatag::shell {

class MainWindow;
class ShellApplication;

// The first step of start-up: the crash handler plugs in here. Until one is set this does nothing.
void SetCrashHandlerInstaller(std::function<void()> installer);
void InstallCrashHandler();

// The outside world of the shell. The program wires in the platform's settings store, files,
// readable files and standard folders (all required); the Qt pieces left empty get the shell's own.
struct ShellPorts {
  RegistryStore* registry = nullptr;
  FileOperations* files = nullptr;
  const ReadableFileSystem* readableFiles = nullptr;
  StandardFolders* folders = nullptr;
  const TextComparer* textComparer = nullptr;
  MessagePresenter* presenter = nullptr;
  SoundPlayer* sounds = nullptr;
  FolderChooser* folderChooser = nullptr;
  // The rename journal's store and its clock (none: renames are not written down, nothing to undo).
  JournalStore* journal = nullptr;
  const Clock* clock = nullptr;
  // The folder lock of renames (optional).
  FolderLocker* folderLocks = nullptr;
  DocumentOpener opener;
  UiLocaleChooser localeChooser;
  // The folder holding the program (help pages, documents); empty: the program's.
  QString programFolder;
  // The folders searched for locale folders with translated tables (empty: the program folder);
  // help pages and documents missing beside the program are looked for there too.
  std::vector<QString> localeFolders;
  // The state folder holding the crash reports (their marker is read at start-up); empty: the
  // user's own.
  std::string crashStateRoot;
  // The wanted user-interface locale; 0: from the environment.
  std::uint32_t wantedLocale = 0;
};

// Dialogs that live outside the shell. A command whose dialog is not set is shown disabled; the
// Patterns Manager is the shell's own unless one is given.
using ShellDialog = std::function<Status(ShellApplication& app)>;
struct ShellDialogs {
  ShellDialog patternsManager;
  ShellDialog extensionManager;
  ShellDialog options;
  ShellDialog checkUpdates;
  ShellDialog crashLogs;
  ShellDialog contact;
  ShellDialog about;
};

class ShellApplication {
 public:
  explicit ShellApplication(ShellPorts ports = {}, ShellDialogs dialogs = {});
  ~ShellApplication();
  ShellApplication(const ShellApplication&) = delete;
  ShellApplication& operator=(const ShellApplication&) = delete;

  // Start-up up to the first scan; the window is created but not shown. A failure other than
  // E_CANCELLED has been shown ("Application failed to start." or the window message).
  Status InitApplication();
  // Shows the main window in its stored state, fitted to the screen.
  void ShowMainWindow();
  // File > Exit, Alt+F4 and closing the window: refused while a shell dialog runs, asks about a
  // pending name change, saves the settings when they changed. Failure: keep running.
  Status ExitApplication();
  // Lets go of the window and everything else; safe to call more than once.
  void ShutdownApplication();

  Application& Host() { return *host_; }
  AppContext& Context() { return host_->Context(); }
  WorkflowFront& Workflow() { return *workflow_; }
  MainWindow* Window() { return window_.get(); }
  WindowSettings& WindowRecord() { return host_->Window(); }
  NamingSettings& Naming() { return host_->Naming(); }
  PatternCatalogue& Catalogue() { return host_->Catalogue(); }
  ExtensionList& Extensions() { return host_->Extensions(); }
  bool SettingsChanged() const { return host_ && host_->SettingsChanged(); }
  void MarkSettingsChanged() { host_->MarkSettingsChanged(); }
  const UiLocaleEntry& UiLocale() const { return uiLocale_; }
  const HelpPages& Help() const { return *help_; }
  SoundPlayer& Sounds() { return *sounds_; }
  const ShellDialogs& Dialogs() const { return dialogs_; }
  const QString& ProgramFolder() const { return programFolder_; }
  // What the dialogs of the window layer work with (string tables, window record, main window).
  ui::UiContext& Ui() { return *ui_; }
  // A dialog stored its place in the window settings: they are marked changed.
  void TakeDialogSettingsMark();
  // The window shows what applying a dialog's settings copy changed (a rescan showed it already).
  void ShowAppliedSettings(const SettingsApplied& applied);

  // The busy state: set while a modal shell dialog runs; exit is refused meanwhile.
  // Whether the last run ended in a crash that left a report (its marker was taken at start-up).
  bool CrashedLastTime() const { return crashedLastTime_; }

  bool IsBusy() const { return host_ && host_->Busy() > 0; }
  void EnterBusy() { host_->SetBusy(host_->Busy() + 1); }
  void LeaveBusy() { host_->SetBusy(host_->Busy() - 1); }

  // The Folder command: the choice, then the new folder saved with both setting groups.
  Status ChooseFolderCommand();
  // A dialog command: asks about a pending name change, then runs the dialog while busy.
  Status RunDialog(const ShellDialog& dialog);
  // Saves both setting groups now and clears the settings-changed mark.
  Status SaveSettings();

 private:
  Status Initialise();
  // The stored interface language, read ahead of the host's start-up so that the keyword table
  // and the built-in patterns are built from the chosen table.
  Status ChooseLocale();
  std::vector<QString> LocaleFolders() const;

  ShellPorts ports_;
  ShellDialogs dialogs_;
  QString programFolder_;
  std::unique_ptr<StandardFolders> pictures_;
  std::unique_ptr<ui::QtMessagePresenter> ownPresenter_;
  std::unique_ptr<SoundPlayer> ownSounds_;
  std::unique_ptr<FolderChooser> ownChooser_;
  SoundPlayer* sounds_ = nullptr;
  FolderChooser* chooser_ = nullptr;
  std::unique_ptr<Application> host_;
  std::unique_ptr<ui::UiContext> ui_;
  StringModule localeModule_;
  UiLocaleEntry uiLocale_;
  bool localeChosenNow_ = false;
  bool crashedLastTime_ = false;
  bool windowFailed_ = false;
  CountedString helpTitle_;
  std::unique_ptr<HelpPages> help_;
  std::unique_ptr<WorkflowFront> workflow_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace lumatag::shell
