#include "shell/ShellApplication.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLocale>
#include <QScreen>

#include "ports/Messages.h"
#include "shell/InterimPorts.h"
#include "shell/MainWindow.h"
#include "ui/QtMessagePresenter.h"
#include "ui/QtPorts.h"
#include "workflow/FolderLister.h"
#include "workflow/WorkingFolder.h"

namespace lumatag::shell {

namespace {

// The stored folder, else the Pictures folder; a Pictures folder that does not exist (a desktop
// without one) leaves no working folder rather than one that every scan reports as missing.
class ExistingFolderRule final : public WorkingFolderRule {
 public:
  ExistingFolderRule(FileOperations& files, StandardFolders& folders)
      : files_(files), rule_(files, folders) {}
  void Apply(Status readStatus, CountedString& folder) override {
    rule_.Apply(readStatus, folder);
    if (!folder.IsEmpty() && !FolderExists(files_, folder.View())) folder.Truncate(0);
  }

 private:
  FileOperations& files_;
  PicturesFolderRule rule_;
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
    : ports_(std::move(ports)), dialogs_(std::move(dialogs)), catalogue_(context_.heap) {}

ShellApplication::~ShellApplication() {
  ShutdownApplication();
}

Status ShellApplication::InitApplication() {
  const Status status = Initialise();
  if (Failed(status)) {
    ShutdownApplication();
    if (status != E_CANCELLED) {
      (void)ShowErrorMessage(context_, windowFailed_ ? IDS_ERR_APP_WINDOWS : IDS_ERR_APP_START);
    }
  }
  return status;
}

Status ShellApplication::Initialise() {
  // 1. Framework: the process heap and messages, the window record, version information (compiled
  // in), the language-neutral table (the built-in one).
  programFolder_ = ports_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                  : ports_.programFolder;
  if (ports_.presenter != nullptr) {
    context_.presenter = ports_.presenter;
  } else {
    ownPresenter_ = std::make_unique<ui::QtMessagePresenter>(context_);
    context_.presenter = ownPresenter_.get();
  }
  if (ports_.textComparer != nullptr) context_.InstallTextComparer(ports_.textComparer);
  InstallOutOfMemoryMessage(context_);
  LT_TRY(LoadString(*context_.programModule, IDS_APP_TITLE, context_.title));
  settingsChanged_ = false;
  if (ports_.registry == nullptr || ports_.files == nullptr || ports_.readableFiles == nullptr ||
      ports_.folders == nullptr) {
    return E_INVALIDARG;
  }
  store_ = std::make_unique<SettingsStore>(*ports_.registry, *context_.programModule);
  LT_TRY(LoadWindowSettings(*store_, context_, windowSettings_, &settingsChanged_));
  ReportSettingsRecovery(*store_, context_);

  // 2. The user-interface locale.
  LT_TRY(ChooseLocale());

  // 3. The status bar setting; the help window's title.
  {
    SettingsKey key;
    bool shown = true;
    if (Succeeded(store_->OpenSettingsKey(IDS_REG_KEY_PATH, &key)) &&
        store_->GetBoolDefaultTrue(key, IDS_REG_STATUS_DISPLAY, &shown) == SETTING_DEFAULTED) {
      settingsChanged_ = true;
    }
    windowSettings_.statusDisplay = shown;
  }
  LT_TRY(LoadString(*context_.resourceModule, IDS_HELP_WINDOW_TITLE, helpTitle_));

  // 4. The application title in the interface language.
  LT_TRY(LoadString(*context_.resourceModule, IDS_APP_TITLE, context_.title));
  QGuiApplication::setApplicationDisplayName(ToQString(context_.title.View()));

  // 5. The keyword table and the built-in patterns.
  LT_TRY(keywords_.Build(*context_.resourceModule));
  LT_TRY(catalogue_.BuildBuiltIns(context_, &keywords_));
  LT_TRY(catalogue_.BuildAutomaticList(context_));

  // 6. The naming settings: working folder, flags, stored patterns, extensions.
  files_ = ports_.files;
  namingSettings_.patterns = &catalogue_;
  namingSettings_.extensions = &extensions_;
  {
    ExistingFolderRule rule(*files_, *ports_.folders);
    // Settings that cannot be read keep their defaults; the store has told the person.
    (void)LoadNamingSettings(*store_, context_, namingSettings_, &rule, &settingsChanged_);
    SettingsKey key;
    CountedString lastChosen;
    if (Succeeded(store_->OpenSettingsKey(IDS_REG_KEY_PATH, &key)) &&
        Succeeded(store_->GetStringDefaultEmpty(key, IDS_REG_IMAGE_FOLDER_DIALOG_DEF_FOLDER,
                                                &lastChosen))) {
      lastChosenFolder_ = std::u16string(lastChosen.View());
    }
  }

  // The ports the window and the workflow use.
  if (ports_.sounds != nullptr) {
    sounds_ = ports_.sounds;
  } else {
    ownSounds_ = std::make_unique<ui::QtSoundPlayer>();
    sounds_ = ownSounds_.get();
  }
  if (ports_.folderChooser != nullptr) {
    chooser_ = ports_.folderChooser;
  } else {
    const StringModule& strings = *context_.resourceModule;
    ownChooser_ = std::make_unique<QtFolderChooser>(
        [this]() -> QWidget* { return static_cast<QWidget*>(window_.get()); },
        std::u16string(strings.Text(IDS_FOLDER_DIALOG_TITLE)),
        std::u16string(strings.Text(IDS_FOLDER_DIALOG_OK)),
        std::u16string(strings.Text(IDS_FOLDER_DIALOG_FILE_LABEL)));
    chooser_ = ownChooser_.get();
  }
  help_ =
      std::make_unique<HelpPages>(programFolder_, ports_.opener ? ports_.opener : DesktopOpener());

  // 7-8. The lists (held by the workflow) and the main window with its controls.
  window_ = std::make_unique<MainWindow>(*this);
  if (ownPresenter_) ownPresenter_->SetMainWindow(window_.get());
  WorkflowServices services;
  services.context = &context_;
  services.files = files_;
  services.readableFiles = ports_.readableFiles;
  services.sounds = sounds_;
  services.view = window_.get();
  services.catalogue = &catalogue_;
  services.extensions = &extensions_;
  services.settings = &namingSettings_;
  services.settingsChanged = &settingsChanged_;
  workflow_ = std::make_unique<WorkflowFront>(services);
  if (!window_->Build()) {
    windowFailed_ = true;
    return E_FAIL;
  }

  // 9. The first scan (it reports its own failures), then the navigation box.
  busy_ = 0;
  (void)workflow_->Scan(true, true);
  window_->FillBoxes(kRefreshNavigation);

  // 10-11. The crash-log offer and the update schedule start with their own subsystems.
  return S_OK;
}

Status ShellApplication::ChooseLocale() {
  const std::vector<UiLocaleEntry> available =
      AvailableUiLocales(programFolder_, ports_.programName);
  if (windowSettings_.uiLocale == 0) {
    const std::uint32_t wanted =
        ports_.wantedLocale != 0 ? ports_.wantedLocale : LocaleIdOfName(QLocale::system().name());
    UiLocaleChooser chooser = ports_.localeChooser;
    if (!chooser) {
      chooser = [this](const std::vector<UiLocaleEntry>& list) {
        return AskForUiLocale(*context_.resourceModule, list);
      };
    }
    LT_TRY(ChooseUiLocale(wanted, available, chooser, &uiLocale_));
    windowSettings_.uiLocale = uiLocale_.lcid;
    settingsChanged_ = true;
  } else {
    uiLocale_ = FindUiLocale(windowSettings_.uiLocale, available);
  }
  if (!uiLocale_.tablePath.isEmpty()) {
    StringTableError error;
    if (Succeeded(localeModule_.LoadFile(uiLocale_.tablePath.toStdString(), &error))) {
      context_.resourceModule = &localeModule_;
    } else {
      // A broken translation falls back to the built-in English table.
      uiLocale_ = UiLocaleEntry{};
    }
  }
  return S_OK;
}

void ShellApplication::ShowMainWindow() {
  if (!window_) return;
  const bool changed = settingsChanged_;
  window_->RestorePlacement(windowSettings_);
  settingsChanged_ = changed;
}

Status ShellApplication::ExitApplication() {
  if (busy_ > 0) {
    (void)ShowErrorMessage(context_, IDS_ERR_CANNOT_EXIT);
    return E_FAIL;
  }
  if (workflow_) LT_TRY(workflow_->AskBeforeLeaving());
  if (window_ && window_->TakePlacement(windowSettings_)) settingsChanged_ = true;
  // Save failures at exit are not shown.
  if (settingsChanged_) (void)SaveSettings();
  return S_OK;
}

Status ShellApplication::SaveSettings() {
  if (!store_) return E_FAIL;
  MainWindow* window = window_.get();
  const Status windowStatus =
      SaveWindowSettings(*store_, windowSettings_, [window](std::uint32_t* showCommand) {
        *showCommand = window != nullptr ? window->ShowCommand() : 1;
        return S_OK;
      });
  const Status namingStatus = SaveNamingSettings(*store_, namingSettings_);
  if (Failed(windowStatus)) return windowStatus;
  if (Failed(namingStatus)) return namingStatus;
  settingsChanged_ = false;
  return S_OK;
}

Status ShellApplication::ChooseFolderCommand() {
  std::u16string chosen;
  EnterBusy();
  const Status status = workflow_->ChooseFolder(*chooser_, lastChosenFolder_, &chosen);
  LeaveBusy();
  if (Failed(status)) return status;
  lastChosenFolder_ = chosen;
  SettingsKey key;
  if (Succeeded(store_->OpenSettingsKey(IDS_REG_KEY_PATH, &key))) {
    (void)store_->SetString(
        key, std::u16string_view(store_->Names().Text(IDS_REG_IMAGE_FOLDER_DIALOG_DEF_FOLDER)),
        std::u16string_view(chosen));
  }
  // A new working folder is saved at once with both setting groups.
  if (settingsChanged_) (void)SaveSettings();
  return S_OK;
}

Status ShellApplication::RunDialog(const ShellDialog& dialog) {
  if (!dialog) return S_OK;
  LT_TRY(workflow_->AskBeforeLeaving());
  EnterBusy();
  const Status status = dialog(*this);
  LeaveBusy();
  return status;
}

void ShellApplication::ShutdownApplication() {
  window_.reset();
  workflow_.reset();
  help_.reset();
  store_.reset();
}

}  // namespace lumatag::shell
