// The desktop's own dialogs behind the main window's menu (Options, the photo file extension
// manager, About, Contact, Check for Updates, Check for Crash Logs) and the two start-up tasks (the
// crash-log offer and the scheduled update check). Settings a dialog changes are applied through
// the application host: compared, saved at once, and the folder scanned again when the extension
// list changed.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "patterns/DatePicture.h"
#include "ports/Clock.h"
#include "ports/DocumentFetcher.h"
#include "ports/DocumentOpener.h"
#include "shell/ShellApplication.h"
#include "ui/DialogBase.h"
#include "update/UpdateCheck.h"
#include "update/XmlParser.h"

namespace lumatag::shell {

// What the dialogs work with besides the application; every piece left empty gets the desktop's
// own (tests put fakes in).
struct DesktopServices {
  ui::DialogRunner* runner = nullptr;         // modal dialogs
  lumatag::DocumentOpener* opener = nullptr;  // the desktop's browser
  DocumentFetcher* fetcher = nullptr;         // Qt Network, with the busy cursor while it waits
  XmlEventParser* parser = nullptr;           // QXmlStreamReader
  std::string crashStateRoot;                 // the user's own state folder
  std::u16string updateUrl;                   // the built-in address (or the environment's)
  const DateLocale* locale = nullptr;         // the user-interface locale's dates
  // The desktop's fetcher gives up after this long without data.
  int transferTimeoutMs = 15000;
};

class DesktopDialogs {
 public:
  // `clock` gives the local time for the update schedule and "Update Check Last".
  explicit DesktopDialogs(const Clock& clock, DesktopServices services = {});
  ~DesktopDialogs();
  DesktopDialogs(const DesktopDialogs&) = delete;
  DesktopDialogs& operator=(const DesktopDialogs&) = delete;

  // The dialogs of the menu, for the ShellApplication; this object must outlive it.
  ShellDialogs Dialogs();

  // After InitApplication: turns a crash marker into "Minidump Available", then arms the pending
  // start-up tasks (the crash-log offer when "Minidump Alert" is on, the update check when it is
  // due) on a 100-millisecond timer that fires once the event loop runs.
  void ArmStartupTasks(ShellApplication& app);
  // Runs the pending start-up tasks now (the timer calls this).
  void RunStartupTasks(ShellApplication& app);
  bool HasPendingStartupTasks() const { return !pending_.empty(); }

  // The commands; each returns E_CANCELLED when the person cancelled.
  Status Options(ShellApplication& app);
  Status ExtensionManager(ShellApplication& app);
  Status About(ShellApplication& app);
  Status Contact(ShellApplication& app);
  Status CheckForUpdates(ShellApplication& app);
  // `interactive`: the menu command (says when there is none); else the quiet start-up offer.
  Status CrashLogs(ShellApplication& app, bool interactive);
  // The scheduled, non-interactive check.
  Status ScheduledUpdateCheck(ShellApplication& app);

 private:
  enum class StartupTask { kCrashLogs, kUpdateCheck };
  struct Own;
  const DateLocale& Locale(ShellApplication& app);
  // What every update check of the program shares: the store, the view, this program and the URL.
  void FillUpdateEnvironment(ShellApplication& app, UpdateAvailableView& view,
                             UpdateCheckEnvironment& environment) const;

  const Clock& clock_;
  DesktopServices services_;
  std::unique_ptr<Own> own_;
  std::deque<StartupTask> pending_;
  bool timerArmed_ = false;
};

}  // namespace lumatag::shell
