#include "shell/ShellApplication.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLocale>
#include <QScreen>

#include "crash/CrashLogs.h"
#include "ports/Messages.h"
#include "shell/InterimPorts.h"
#include "shell/MainWindow.h"
#include "shell/PatternsCommand.h"
#include "ui/DialogBase.h"
#include "ui/QtMessagePresenter.h"
#include "ui/QtPorts.h"
#include "ui/UiContext.h"
#include "workflow/FolderLister.h"
#include "workflow/WorkingFolder.h"

namespace lumatag::shell {

namespace {

// The Pictures folder only when it exists: a desktop without one leaves no working folder rather
// than one that every scan reports as missing.
class ExistingPicturesFolder final : public StandardFolders {
 public:
  ExistingPicturesFolder(FileOperations& files, StandardFolders& folders)
      : files_(files), folders_(folders) {}
  Status PicturesFolder(std::u16string* folder) override {
    LT_TRY(folders_.PicturesFolder(folder));
    if (folder->empty() || !FolderExists(files_, *folder)) {
      folder->clear();
      return E_FAIL;
    }
    return S_OK;
  }

 private:
  FileOperations& files_;
  StandardFolders& folders_;
};

std::function<void()>& CrashHandlerInstaller() {
  static std::function<void()> installer;
  return installer;
}

// The "Application UI" question: the available locales by their names in their own language.
int AskForUiLocale(const StringModule& strings, const std::vector<UiLocaleEntry>& available) {
  QStringList items;
  for (const UiLocaleEntry& entry : available) {
    const QLocale locale(entry.name);
    items << QStringLiteral("%1 (%2)").arg(locale.nativeLanguageName(), entry.name);
  }
  bool ok = false;
  const QString item =
      QInputDialog::getItem(nullptr, ToQString(strings.Text(IDS_UI_LOCALE_TITLE)),
                            ToQString(strings.Text(IDS_UI_LOCALE_LABEL)), items, 0, false, &ok);
  return ok ? static_cast<int>(items.indexOf(item)) : -1;
}

}  // namespace

void SetCrashHandlerInstaller(std::function<void()> installer) {
  CrashHandlerInstaller() = std::move(installer);
}

void InstallCrashHandler() {
  if (CrashHandlerInstaller()) CrashHandlerInstaller()();
}

ShellApplication::ShellApplication(ShellPorts ports, ShellDialogs dialogs)
    : ports_(std::move(ports)), dialogs_(std::move(dialogs)) {
  if (!dialogs_.patternsManager) {
    dialogs_.patternsManager = [](ShellApplication& app) {
      ui::ModalDialogRunner runner;
      return RunPatternsCommand(app, runner);
    };
  }
}

ShellApplication::~ShellApplication() {
  ShutdownApplication();
}

Status ShellApplication::InitApplication() {
  const Status status = Initialise();
  if (Failed(status)) {
    if (status != E_CANCELLED && host_) {
      (void)ShowErrorMessage(host_->Context(),
                             windowFailed_ ? IDS_ERR_APP_WINDOWS : IDS_ERR_APP_START);
    }
    ShutdownApplication();
  }
  return status;
}

std::vector<QString> ShellApplication::LocaleFolders() const {
  return ports_.localeFolders.empty() ? std::vector<QString>{programFolder_}
                                      : ports_.localeFolders;
}

Status ShellApplication::Initialise() {
  programFolder_ = ports_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                  : ports_.programFolder;
  if (ports_.registry == nullptr || ports_.files == nullptr || ports_.readableFiles == nullptr ||
      ports_.folders == nullptr) {
    return E_INVALIDARG;
  }
  if (ports_.sounds != nullptr) {
    sounds_ = ports_.sounds;
  } else {
    ownSounds_ = std::make_unique<ui::QtSoundPlayer>();
    sounds_ = ownSounds_.get();
  }
  pictures_ = std::make_unique<ExistingPicturesFolder>(*ports_.files, *ports_.folders);
  ApplicationPorts hostPorts;
  hostPorts.registry = ports_.registry;
  hostPorts.files = ports_.files;
  hostPorts.readableFiles = ports_.readableFiles;
  hostPorts.folders = pictures_.get();
  hostPorts.sounds = sounds_;
  hostPorts.presenter = ports_.presenter;
  hostPorts.textComparer = ports_.textComparer;
  hostPorts.journal = ports_.journal;
  hostPorts.clock = ports_.clock;
  hostPorts.folderLocks = ports_.folderLocks;
  host_ = std::make_unique<Application>(hostPorts);
  AppContext& context = host_->Context();
  ui_ = std::make_unique<ui::UiContext>(context, host_->Window());
  if (ports_.presenter == nullptr) {
    ownPresenter_ = std::make_unique<ui::QtMessagePresenter>(context);
    context.presenter = ownPresenter_.get();
  }
  // The title of the messages shown before the host has loaded its own.
  LT_TRY(LoadString(*context.programModule, IDS_APP_TITLE, context.title));

  // The user-interface locale, then the host's start-up: window settings, title, keyword table
  // and built-in patterns (from the chosen table), naming settings, lists.
  LT_TRY(ChooseLocale());
  LT_TRY(host_->Load());
  WindowSettings& windowSettings = host_->Window();
  if (localeChosenNow_) {
    windowSettings.uiLocale = uiLocale_.lcid;
    host_->MarkSettingsChanged();
  }
  SettingsStore& store = host_->Store();
  // A crash of the last run left its marker: it becomes "Minidump Available" (stored at once).
  (void)TakeCrashMarker(ports_.crashStateRoot, store, host_->Naming(), &crashedLastTime_);

  // The status bar setting; the help window's title.
  {
    SettingsKey key;
    bool shown = true;
    if (Succeeded(store.OpenSettingsKey(IDS_REG_KEY_PATH, &key)) &&
        store.GetBoolDefaultTrue(key, IDS_REG_STATUS_DISPLAY, &shown) == SETTING_DEFAULTED) {
      host_->MarkSettingsChanged();
    }
    windowSettings.statusDisplay = shown;
  }
  LT_TRY(LoadString(*context.resourceModule, IDS_HELP_WINDOW_TITLE, helpTitle_));

  // The application title in the interface language.
  LT_TRY(LoadString(*context.resourceModule, IDS_APP_TITLE, context.title));
  QGuiApplication::setApplicationDisplayName(ToQString(context.title.View()));

  if (ports_.folderChooser != nullptr) {
    chooser_ = ports_.folderChooser;
  } else {
    const StringModule& strings = *context.resourceModule;
    ownChooser_ = std::make_unique<QtFolderChooser>(
        [this]() -> QWidget* { return static_cast<QWidget*>(window_.get()); },
        std::u16string(strings.Text(IDS_FOLDER_DIALOG_TITLE)),
        std::u16string(strings.Text(IDS_FOLDER_DIALOG_OK)),
        std::u16string(strings.Text(IDS_FOLDER_DIALOG_FILE_LABEL)));
    chooser_ = ownChooser_.get();
  }
  // Help pages and documents: beside the program, else where the locale folders are (an
  // installed program keeps them all under ../share/lumatag).
  std::vector<QString> helpFolders{programFolder_};
  for (const QString& folder : ports_.localeFolders) {
    if (folder != programFolder_) helpFolders.push_back(folder);
  }
  help_ = std::make_unique<HelpPages>(std::move(helpFolders),
                                      ports_.opener ? ports_.opener : DesktopOpener());

  // The main window with its controls, and the workflow showing through it.
  window_ = std::make_unique<MainWindow>(*this);
  if (ownPresenter_) ownPresenter_->SetMainWindow(window_.get());
  ui_->mainWindow = window_.get();
  ui_->showHelp = [this](int helpContext) {
    if (!help_->ShowTopic(helpContext))
      (void)ShowErrorMessage(host_->Context(), IDS_ERR_HELP_WINDOW);
  };
  LT_TRY(host_->CreateWorkflow(*window_));
  workflow_ = std::make_unique<WorkflowFront>(host_->Workflow());
  if (!window_->Build()) {
    windowFailed_ = true;
    return E_FAIL;
  }

  // The first scan (it reports its own failures), then the navigation box.
  host_->SetBusy(0);
  // The window shows the empty list with its folder first: a long scan shows it before it ends.
  window_->FillBoxes(kRefreshAll);
  (void)workflow_->Scan(true, true);
  window_->FillBoxes(kRefreshNavigation);

  // The crash-log offer and the update schedule start with their own subsystems.
  return S_OK;
}

Status ShellApplication::ChooseLocale() {
  // The stored choice, read through a store of its own: the host reads the window settings again
  // when it loads.
  WindowSettings stored;
  {
    SettingsStore store(*ports_.registry, *host_->Context().programModule);
    bool changed = false;
    (void)LoadWindowSettings(store, host_->Context(), stored, &changed);
  }
  const std::vector<UiLocaleEntry> available = AvailableUiLocales(LocaleFolders());
  if (stored.uiLocale == 0) {
    const std::uint32_t wanted =
        ports_.wantedLocale != 0 ? ports_.wantedLocale : LocaleIdOfName(QLocale::system().name());
    UiLocaleChooser chooser = ports_.localeChooser;
    if (!chooser) {
      chooser = [this](const std::vector<UiLocaleEntry>& list) {
        return AskForUiLocale(*host_->Context().resourceModule, list);
      };
    }
    LT_TRY(ChooseUiLocale(wanted, available, chooser, &uiLocale_));
    localeChosenNow_ = true;
  } else {
    uiLocale_ = FindUiLocale(stored.uiLocale, available);
  }
  if (!uiLocale_.tablePath.isEmpty()) {
    StringTableError error;
    if (Succeeded(localeModule_.LoadFile(uiLocale_.tablePath.toStdString(), &error))) {
      host_->Context().resourceModule = &localeModule_;
    } else {
      // A broken translation falls back to the built-in English table.
      uiLocale_ = UiLocaleEntry{};
    }
  }
  return S_OK;
}

void ShellApplication::ShowMainWindow() {
  // A long first scan may have shown the window already.
  if (!window_ || window_->isVisible()) return;
  window_->RestorePlacement(host_->Window());
}

Status ShellApplication::ExitApplication() {
  if (!host_) return S_OK;
  MainWindow* window = window_.get();
  // The place of the window goes into its record first; the host refuses while busy, asks about a
  // pending name change and saves when anything changed.
  if (window != nullptr && window->TakePlacement(host_->Window())) host_->MarkSettingsChanged();
  return host_->Exit([window](std::uint32_t* showCommand) {
    *showCommand = window != nullptr ? window->ShowCommand() : 1;
    return S_OK;
  });
}

Status ShellApplication::SaveSettings() {
  if (!host_) return E_FAIL;
  MainWindow* window = window_.get();
  return host_->SaveSettings([window](std::uint32_t* showCommand) {
    *showCommand = window != nullptr ? window->ShowCommand() : 1;
    return S_OK;
  });
}

Status ShellApplication::ChooseFolderCommand() {
  EnterBusy();
  const Status status = host_->FolderCommand(*chooser_);
  LeaveBusy();
  return status;
}

Status ShellApplication::RunDialog(const ShellDialog& dialog) {
  if (!dialog) return S_OK;
  LT_TRY(workflow_->AskBeforeLeaving());
  EnterBusy();
  const Status status = dialog(*this);
  LeaveBusy();
  return status;
}

void ShellApplication::TakeDialogSettingsMark() {
  if (ui_ && ui_->settingsChanged) {
    ui_->settingsChanged = false;
    host_->MarkSettingsChanged();
  }
}

void ShellApplication::ShowAppliedSettings(const SettingsApplied& applied) {
  if (!window_) return;
  window_->ApplyWindowTips(applied.showWindowTips);
  if (!applied.rescanned && applied.refresh != 0) window_->RefreshWindowState(applied.refresh);
}

void ShellApplication::ShutdownApplication() {
  window_.reset();
  workflow_.reset();
  help_.reset();
  ui_.reset();
  host_.reset();
}

}  // namespace lumatag::shell
