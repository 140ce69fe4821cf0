// lumatag: the desktop program.
//
// LUMATAG_SCREENSHOT=FILE saves a picture of the window once its first preview is drawn, then ends
// the program (demos and smoke tests); LUMATAG_SCREENSHOT_STEPS=FOLDER saves, with it, a picture
// of each of the five steps as step-1.png … step-5.png there (the user guide's pictures);
// LUMATAG_STARTUP_TIMING=1 prints the time from the start of the process to that first drawing
// on standard error.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "crash/CrashHandler.h"
#include "foundation/ProductInfo.h"
#include "platform/linux/HiveRegistryStore.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxFolderLock.h"
#include "platform/linux/LinuxJournalStore.h"
#include "platform/linux/LinuxStandardFolders.h"
#include "platform/linux/LocaleFolders.h"
#include "platform/linux/PosixReadableFile.h"
#include "platform/linux/SystemClock.h"
#include "shell/DesktopDialogs.h"
#include "shell/MainWindow.h"
#include "shell/ShellApplication.h"

// Sanitizer builds: the font configuration and D-Bus libraries keep a few blocks for the life of
// the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  // 1. The crash handler comes first, before anything can fail. Without it (its folder cannot be
  // made safe) the program goes on without crash reports.
  lumatag::shell::SetCrashHandlerInstaller([] {
    lumatag::CrashHandlerOptions options;
    options.version = std::string(lumatag::BuiltInProductInfo().versionBytes);
    (void)lumatag::InstallCrashHandler(options);
  });
  lumatag::shell::InstallCrashHandler();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("lumatag"));

  // The platform's settings store, files and folders.
  lumatag::HiveRegistryStore registry(lumatag::HiveRegistryStore::DefaultPath());
  lumatag::LinuxFileOperations files;
  lumatag::LinuxFolderLocker folderLocks;
  lumatag::LinuxStandardFolders folders;
  lumatag::LinuxJournalStore journal(lumatag::LinuxJournalStore::DefaultFolder());
  lumatag::SystemClock systemClock;
  lumatag::shell::ShellPorts ports;
  ports.registry = &registry;
  ports.files = &files;
  ports.readableFiles = &lumatag::PlatformReadableFileSystem();
  ports.folders = &folders;
  ports.textComparer = &lumatag::PlatformTextComparer();
  // The interface language: the tables lumatag-cli uses too, in the locale the environment asks
  // for (LC_ALL, LC_MESSAGES, LANG); English when it asks for none.
  for (const std::string& folder : lumatag::LocaleSearchFolders()) {
    ports.localeFolders.push_back(QString::fromStdString(folder));
  }
  const std::vector<std::string> wanted = lumatag::WantedLocalesFromEnvironment();
  ports.wantedLocale = wanted.empty()
                           ? lumatag::shell::kEnglishLocale
                           : lumatag::shell::LocaleIdOfName(QString::fromStdString(wanted.front()));
  // The dialogs of the menu and the start-up tasks (crash-log offer, scheduled update check).
  lumatag::shell::DesktopDialogs desktopDialogs(systemClock);
  ports.journal = &journal;
  ports.clock = &systemClock;
  ports.folderLocks = &folderLocks;
  lumatag::shell::ShellApplication app(std::move(ports), desktopDialogs.Dialogs());
  const lumatag::Status status = app.InitApplication();
  if (lumatag::Failed(status)) return static_cast<int>(status);
  lumatag::shell::MainWindow* window = app.Window();

  const QString screenshot = qEnvironmentVariable("LUMATAG_SCREENSHOT");
  // A picture of the window is taken without the start-up tasks' dialogs in front of it.
  if (screenshot.isEmpty()) desktopDialogs.ArmStartupTasks(app);
  const bool timing = qEnvironmentVariableIsSet("LUMATAG_STARTUP_TIMING");
  QObject::connect(window, &lumatag::shell::MainWindow::firstPreviewPainted, window, [&, window] {
    if (timing) {
      std::fprintf(stderr, "lumatag: first window painted after %lld ms\n",
                   static_cast<long long>(clock.elapsed()));
    }
    if (screenshot.isEmpty()) return;
    // Let the rest of the window finish drawing, then take its picture.
    QTimer::singleShot(50, window, [window, &screenshot] {
      bool saved = window->grab().save(screenshot, "PNG");
      const QString steps = qEnvironmentVariable("LUMATAG_SCREENSHOT_STEPS");
      for (int step = 1; step <= 5 && saved && !steps.isEmpty(); ++step) {
        saved = window->StepPicture(step).save(
            QStringLiteral("%1/step-%2.png").arg(steps).arg(step), "PNG");
      }
      QApplication::exit(saved ? 0 : 1);
    });
  });
  app.ShowMainWindow();
  // With no control focused yet, the base-name box gets the focus.
  if (QApplication::focusWidget() == nullptr) {
    window->Control(lumatag::shell::kBaseNameBox)->setFocus();
  }
  const int code = QApplication::exec();
  app.ShutdownApplication();
  return code;
}
