#include "shell/DesktopDialogs.h"

#include <QApplication>
#include <QTimer>

#include "crash/CrashLogs.h"
#include "dialogs/CrashLogDialog.h"
#include "dialogs/SettingsDialogs.h"
#include "dialogs/UpdateCheckDialogs.h"
#include "foundation/ProductInfo.h"
#include "ports/Messages.h"
#include "shell/MainWindow.h"
#include "ui/QtPorts.h"
#include "update/OwnProduct.h"
#include "update/qt/QtDocumentFetcher.h"
#include "update/qt/QtXmlEventParser.h"

namespace lumatag::shell {

namespace {

// The window layer's view of the application while one command runs: dialogs are placed over the
// main window, F1 opens their help page, and a stored dialog position marks the settings changed.
class CommandUi {
 public:
  explicit CommandUi(ShellApplication& app) : app_(app), ui_(app.Context(), app.WindowRecord()) {
    ui_.mainWindow = app.Window();
    ui_.showHelp = [&app](int helpContext) {
      if (!app.Help().ShowTopic(helpContext)) {
        (void)ShowErrorMessage(app.Context(), IDS_ERR_HELP_WINDOW);
      }
    };
  }
  ~CommandUi() {
    if (ui_.settingsChanged) app_.MarkSettingsChanged();
  }
  CommandUi(const CommandUi&) = delete;
  CommandUi& operator=(const CommandUi&) = delete;

  ui::UiContext& Ui() { return ui_; }
  QWidget* Owner() { return app_.Window(); }

 private:
  ShellApplication& app_;
  ui::UiContext ui_;
};

// Applies a settings copy through the host and shows what changed; a failure shows `errorId`.
Status ApplyCopy(ShellApplication& app, const SettingsCopy& copy, std::uint16_t errorId) {
  SettingsApplied applied;
  const Status status = app.Host().ApplySettingsCopy(copy, &applied);
  if (Failed(status) || applied.saveFailed) (void)ShowErrorMessage(app.Context(), errorId);
  if (Failed(status)) return status;
  if (MainWindow* window = app.Window()) {
    // A rescan has refreshed the window already.
    if (!applied.rescanned && applied.refresh != 0) window->FillBoxes(applied.refresh);
    window->ApplyWindowTips(applied.showWindowTips);
  }
  return S_OK;
}

void SetBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace

// The desktop's own pieces, made when a service was left empty.
struct DesktopDialogs::Own {
  explicit Own(int transferTimeoutMs) : fetcher(transferTimeoutMs) {}

  ui::ModalDialogRunner runner;
  ui::QtDocumentOpener opener;
  QtDocumentFetcher fetcher;
  QtXmlEventParser parser;
  DateLocale locale;
  bool localeLoaded = false;
};

DesktopDialogs::DesktopDialogs(const Clock& clock, DesktopServices services)
    : clock_(clock),
      services_(std::move(services)),
      own_(std::make_unique<Own>(services_.transferTimeoutMs)) {
  own_->fetcher.SetBusyHook(SetBusyCursor);
  if (services_.runner == nullptr) services_.runner = &own_->runner;
  if (services_.opener == nullptr) services_.opener = &own_->opener;
  if (services_.fetcher == nullptr) services_.fetcher = &own_->fetcher;
  if (services_.parser == nullptr) services_.parser = &own_->parser;
}

DesktopDialogs::~DesktopDialogs() = default;

ShellDialogs DesktopDialogs::Dialogs() {
  ShellDialogs dialogs;
  dialogs.extensionManager = [this](ShellApplication& app) { return ExtensionManager(app); };
  dialogs.options = [this](ShellApplication& app) { return Options(app); };
  dialogs.checkUpdates = [this](ShellApplication& app) { return CheckForUpdates(app); };
  dialogs.crashLogs = [this](ShellApplication& app) { return CrashLogs(app, true); };
  dialogs.contact = [this](ShellApplication& app) { return Contact(app); };
  dialogs.about = [this](ShellApplication& app) { return About(app); };
  return dialogs;
}

const DateLocale& DesktopDialogs::Locale(ShellApplication& app) {
  if (services_.locale != nullptr) return *services_.locale;
  if (!own_->localeLoaded) {
    own_->localeLoaded = true;
    const std::string name = app.UiLocale().name.toStdString();
    if (name.empty() || Failed(DateLocale::FromName(name, &own_->locale))) {
      own_->locale = DateLocale::UserDefault();
    }
  }
  return own_->locale;
}

Status DesktopDialogs::Options(ShellApplication& app) {
  OptionsModel model(app.Naming());
  Status status = S_OK;
  {
    CommandUi command(app);
    OptionsDialog dialog(command.Ui(), command.Owner(), model);
    status = ui::RunDialog(*services_.runner, dialog);
  }
  if (Failed(status)) return status;
  const std::uint32_t changed = model.ChangedBits();
  if (changed == 0) return S_OK;
  SettingsCopy copy;
  if (Failed(app.Host().CopySettings(&copy))) {
    (void)ShowErrorMessage(app.Context(), IDS_ERR_CHANGING_CONFIGURATION);
    return E_FAIL;
  }
  // Only the settings whose boxes were clicked are taken from the dialog's copy.
  const OptionValues& values = model.Copy();
  if (changed & kChangedStatusTones) copy.fileCheckBeeps = values.fileCheckBeeps;
  if (changed & kChangedShowPreview) copy.showFilePreview = values.showFilePreview;
  if (changed & kChangedShowTooltips) copy.showWindowTips = values.showWindowTips;
  if (changed & kChangedAdvanceAfterRename) copy.advanceAfterRename = values.advanceAfterRename;
  if (changed & kChangedBaseOnLast) copy.baseOnLast = values.baseOnLast;
  if (changed & kChangedRenameCompanions) copy.renameCompanions = values.renameCompanions;
  return ApplyCopy(app, copy, IDS_ERR_CHANGING_CONFIGURATION);
}

Status DesktopDialogs::ExtensionManager(ShellApplication& app) {
  ExtensionList edited;
  bool changed = false;
  {
    CommandUi command(app);
    LT_TRY(RunExtensionManager(*services_.runner, command.Ui(), command.Owner(), app.Extensions(),
                               &edited, &changed));
  }
  // Nothing changed: nothing is saved and the folder is not scanned again.
  if (!changed) return S_OK;
  SettingsCopy copy;
  if (Failed(app.Host().CopySettings(&copy)) || Failed(copy.extensions.CopyFrom(edited))) {
    (void)ShowErrorMessage(app.Context(), IDS_ERR_CHANGING_EXTENSIONS);
    return E_FAIL;
  }
  return ApplyCopy(app, copy, IDS_ERR_CHANGING_EXTENSIONS);
}

Status DesktopDialogs::About(ShellApplication& app) {
  AboutContent content;
  const Status made = MakeAboutContent(*app.Context().resourceModule, BuiltInProductInfo(),
                                       app.Context().title.View(), &content);
  if (Failed(made)) {
    (void)ShowStatusError(app.Context(), made, IDS_DIALOG_NOT_SHOWN);
    return made;
  }
  CommandUi command(app);
  AboutDialog dialog(command.Ui(), command.Owner(), content, services_.opener);
  const Status status = ui::RunDialog(*services_.runner, dialog);
  return status == E_CANCELLED ? S_OK : status;
}

Status DesktopDialogs::Contact(ShellApplication& app) {
  ContactContent content;
  const Status made = MakeContactContent(*app.Context().resourceModule, BuiltInProductInfo(),
                                         app.Context().title.View(), &content);
  if (Failed(made)) {
    (void)ShowStatusError(app.Context(), made, IDS_DIALOG_NOT_SHOWN);
    return made;
  }
  CommandUi command(app);
  ContactDialog dialog(command.Ui(), command.Owner(), content);
  const Status status = ui::RunDialog(*services_.runner, dialog);
  return status == E_CANCELLED ? S_OK : status;
}

Status DesktopDialogs::CrashLogs(ShellApplication& app, bool interactive) {
  CommandUi command(app);
  DialogCrashLogsView view(*services_.runner, command.Ui(), command.Owner());
  return ShowCrashLogs(interactive, services_.crashStateRoot, app.Host().Store(), app.Naming(),
                       app.Context(), view);
}

void DesktopDialogs::FillUpdateEnvironment(ShellApplication& app, UpdateAvailableView& view,
                                           UpdateCheckEnvironment& environment) const {
  environment.store = &app.Host().Store();
  environment.view = &view;
  environment.productName = OwnProductName();
  environment.productVersion = OwnProductVersion();
  environment.url = services_.updateUrl;
}

Status DesktopDialogs::CheckForUpdates(ShellApplication& app) {
  CommandUi command(app);
  const DateLocale& locale = Locale(app);
  lumatag::DocumentOpener* opener = services_.opener;
  DialogUpdateAvailableView view(
      *services_.runner, command.Ui(), command.Owner(), locale,
      [opener](std::u16string_view url) { return opener->OpenUrl(url); });
  UpdateCheckEnvironment environment(app.Context(), *services_.parser, *services_.fetcher, clock_);
  FillUpdateEnvironment(app, view, environment);
  CheckForUpdatesDialogModel model(app.Naming().updateCheckPeriod);
  CheckForUpdatesDialog dialog(command.Ui(), command.Owner(), model, environment, locale);
  // A newer version found from the dialog is shown over it.
  view.SetOwner(&dialog);
  const Status status = ui::RunDialog(*services_.runner, dialog);
  if (Failed(status) && status != E_CANCELLED) return status;
  bool changed = false;
  model.Close(app.Naming(), &changed);
  if (changed) app.MarkSettingsChanged();
  return S_OK;
}

Status DesktopDialogs::ScheduledUpdateCheck(ShellApplication& app) {
  CommandUi command(app);
  lumatag::DocumentOpener* opener = services_.opener;
  DialogUpdateAvailableView view(
      *services_.runner, command.Ui(), command.Owner(), Locale(app),
      [opener](std::u16string_view url) { return opener->OpenUrl(url); });
  UpdateCheckEnvironment environment(app.Context(), *services_.parser, *services_.fetcher, clock_);
  FillUpdateEnvironment(app, view, environment);
  return lumatag::CheckForUpdates(environment, false);
}

void DesktopDialogs::ArmStartupTasks(ShellApplication& app) {
  // A crash since the last start becomes "Minidump Available"; the report folder that cannot be
  // used simply offers nothing.
  (void)TakeCrashMarker(services_.crashStateRoot, app.Host().Store(), app.Naming());
  if (ShouldOfferCrashLogsAtStart(app.Naming())) pending_.push_back(StartupTask::kCrashLogs);
  ScheduleUpdateCheck(app.Host().Store(), app.Naming().updateCheckPeriod, clock_,
                      [this] { pending_.push_back(StartupTask::kUpdateCheck); });
  if (pending_.empty() || timerArmed_ || app.Window() == nullptr) return;
  timerArmed_ = true;
  QTimer::singleShot(100, app.Window(), [this, &app] {
    timerArmed_ = false;
    RunStartupTasks(app);
  });
}

void DesktopDialogs::RunStartupTasks(ShellApplication& app) {
  // One task at a time, in the order they were queued; exit waits while one runs.
  while (!pending_.empty()) {
    const StartupTask task = pending_.front();
    pending_.pop_front();
    app.EnterBusy();
    if (task == StartupTask::kCrashLogs) {
      (void)CrashLogs(app, false);
    } else {
      (void)ScheduledUpdateCheck(app);
    }
    app.LeaveBusy();
  }
}

}  // namespace lumatag::shell
