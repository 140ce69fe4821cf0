// The desktop's dialogs reached through the main window's menu, with their results applied through
// the application host, and the two start-up tasks: the crash-log offer and the scheduled update
// check. Dialogs and message boxes are scripted; the version document is served from memory.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "crash/CrashReportFolder.h"
#include "dialogs/CrashLogDialog.h"
#include "dialogs/DialogWidgetTestSupport.h"
#include "dialogs/SettingsDialogs.h"
#include "dialogs/UpdateCheckDialogs.h"
#include "foundation/StringIds.h"
#include "platform/fake/FixedClock.h"
#include "shell/DesktopDialogs.h"
#include "shell/PreviewDecoder.h"
#include "shell/ShellTestSupport.h"
#include "ui/QtText.h"
#include "update/LocalHttpServer.h"
#include "update/UpdateCheck.h"
#include "update/qt/QtXmlEventParser.h"

namespace lumatag::shell {
namespace {

class ServedDocument final : public DocumentFetcher {
 public:
  std::string document;
  int fetches = 0;
  Status Fetch(std::u16string_view, std::size_t, std::string* body, FetchFailure*) override {
    ++fetches;
    *body = document;
    return S_OK;
  }
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class DesktopDialogsTest : public ShellTest {
 protected:
  DesktopDialogsTest() {
    DesktopServices services;
    services.runner = &runner_;
    services.opener = &opener_;
    services.fetcher = &fetcher_;
    services.parser = &parser_;
    services.crashStateRoot = dir_.File("state");
    services.updateUrl = u"https://updates.example/versions.xml";
    desktop_ = std::make_unique<DesktopDialogs>(clock_, services);
  }
  ~DesktopDialogsTest() override {
    if (shell_) shell_->ShutdownApplication();
    shell_.reset();
  }

  // Starts the shell with the desktop's dialogs, as the program does; the start-up tasks are
  // armed but not run.
  bool StartWithDialogs() {
    ShellPorts ports = BasePorts();
    ports.sounds = &sounds_;
    ports.folderChooser = &chooser_;
    shell_ = std::make_unique<ShellApplication>(std::move(ports), desktop_->Dialogs());
    if (Failed(shell_->InitApplication())) return false;
    shell_->ShowMainWindow();
    return QTest::qWaitForWindowExposed(&Window());
  }
  void Command(int command) { Window().RunCommand(command); }
  std::string SettingsFile() const { return ReadFile(dir_.File("settings.reg")); }
  // A crash report (and optionally the crash handler's marker) in the report folder.
  std::string PlantReport(bool marker) {
    CrashReportFolder folder;
    EXPECT_OK(folder.Open(dir_.File("state")));
    const std::string path = folder.Path() + "/LTGv1_20260301120000.dmp";
    std::ofstream(path) << "report";
    if (marker) std::ofstream(folder.Path() + "/" + kCrashMarkerName) << "";
    return path;
  }
  bool StoredMinidumpAvailable() {
    return SettingsFile().find("\"Minidump Available\"=dword:00000001") != std::string::npos;
  }

  StepRunner runner_;
  RecordingOpener opener_;
  ServedDocument fetcher_;
  QtXmlEventParser parser_;
  FixedClock clock_{SystemTime{2027, 1, 1, 4, 10, 0, 0, 0}};
  std::unique_ptr<DesktopDialogs> desktop_;
};

TEST_F(DesktopDialogsTest, EveryDialogCommandOfTheMenuIsEnabled) {
  ASSERT_TRUE(StartWithDialogs());
  for (int command : {kCmdExtensionManager, kCmdOptions, kCmdCheckUpdates, kCmdCrashLogs,
                      kCmdContact, kCmdAbout}) {
    EXPECT_TRUE(Window().MenuAction(command)->isEnabled()) << command;
  }
}

TEST_F(DesktopDialogsTest, OptionsCancelledAfterClickingEveryBoxChangesNothing) {
  WriteSettings(photos_ + "/");
  ASSERT_TRUE(StartWithDialogs());
  const OptionValues before = OptionValues::From(shell_->Naming());
  const std::string stored = SettingsFile();
  runner_.Then([](ui::DialogBase& dialog) {
    auto& options = As<OptionsDialog>(dialog);
    options.Box(OptionBox::kBaseOnLast)->click();
    for (OptionBox box : {OptionBox::kAdvanceAfterRename, OptionBox::kStatusTones,
                          OptionBox::kShowPreview, OptionBox::kShowTooltips}) {
      options.Box(box)->click();
    }
    options.reject();
  });
  Command(kCmdOptions);
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_EQ(OptionValues::From(shell_->Naming()), before);
  EXPECT_EQ(SettingsFile(), stored);
  EXPECT_FALSE(Control(kFolderButton)->toolTip().isEmpty());
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(DesktopDialogsTest, OptionsOkAppliesSavesAndShowsAtOnce) {
  WriteSettings(photos_ + "/");
  ASSERT_TRUE(StartWithDialogs());
  runner_.Then([](ui::DialogBase& dialog) {
    auto& options = As<OptionsDialog>(dialog);
    options.Box(OptionBox::kShowPreview)->click();
    options.Box(OptionBox::kShowTooltips)->click();
    options.Box(OptionBox::kBaseOnLast)->click();
    options.accept();
  });
  Command(kCmdOptions);
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_FALSE(shell_->Naming().showFilePreview);
  EXPECT_EQ(Window().Preview()->Text(),
            ui::ToQString(StringModule::BuiltIn().Text(IDS_PREVIEW_TURNED_OFF)));
  EXPECT_TRUE(Control(kFolderButton)->toolTip().isEmpty());
  // Saved at once, as a new start shows.
  ASSERT_TRUE(StartWithDialogs());
  EXPECT_FALSE(shell_->Naming().showFilePreview);
  EXPECT_FALSE(shell_->Naming().showWindowTips);
  EXPECT_FALSE(shell_->Naming().baseOnLast);
}

TEST_F(DesktopDialogsTest, ExtensionListChangedRescansAndUnchangedDoesNothing) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.TIF"});
  WriteSettings(photos_ + "/");
  ASSERT_TRUE(StartWithDialogs());
  ASSERT_EQ(Box(kPhotoBox)->count(), 2);

  // Closed without a change: not saved, and the folder is not scanned again (the new photo stays
  // unlisted).
  AddPhotos({"IMG_0003.JPG"});
  const std::string stored = SettingsFile();
  runner_.Then(
      [](ui::DialogBase& dialog) { As<ExtensionManagerDialog>(dialog).CloseButton()->click(); });
  Command(kCmdExtensionManager);
  EXPECT_EQ(SettingsFile(), stored);
  EXPECT_EQ(Box(kPhotoBox)->count(), 2);

  // TIF deleted: saved at once and scanned again.
  presenter_.Answer(IDYES);
  runner_.Then([](ui::DialogBase& dialog) {
    auto& manager = As<ExtensionManagerDialog>(dialog);
    const auto found = manager.List()->findItems("TIF", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    manager.List()->setCurrentItem(found.front());
    manager.DeleteButton()->click();
    manager.CloseButton()->click();
  });
  Command(kCmdExtensionManager);
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_FALSE(shell_->Extensions().Find(u"TIF"));
  EXPECT_EQ(Box(kPhotoBox)->count(), 2);  // IMG_0001.JPG and IMG_0003.JPG
  EXPECT_NE(SettingsFile(), stored);
  ASSERT_TRUE(StartWithDialogs());
  EXPECT_FALSE(shell_->Extensions().Find(u"TIF"));
}

TEST_F(DesktopDialogsTest, AboutAndContactOpenFromTheHelpMenu) {
  ASSERT_TRUE(StartWithDialogs());
  runner_.Then([](ui::DialogBase& dialog) {
    QTest::mouseClick(As<AboutDialog>(dialog).Link(), Qt::LeftButton);
  });
  runner_.Then([](ui::DialogBase& dialog) {
    EXPECT_EQ(ui::ToU16(As<ContactDialog>(dialog).Email()->text()),
              BuiltInProductInfo().supportEmail);
  });
  Command(kCmdAbout);
  Command(kCmdContact);
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_EQ(opener_.urls,
            std::vector<std::u16string>{std::u16string(BuiltInProductInfo().website)});
  EXPECT_TRUE(presenter_.shown.empty());
}

// ------------------------------------------------------------------------------------------------
// Crash logs

TEST_F(DesktopDialogsTest, CrashLogsCommandWithoutReportsSaysSo) {
  ASSERT_TRUE(StartWithDialogs());
  Command(kCmdCrashLogs);  // the folder is missing: made, and nothing to show
  Command(kCmdCrashLogs);  // the folder is empty
  EXPECT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(LastMessage(), std::u16string(StringModule::BuiltIn().Text(IDS_NO_CRASH_LOGS)));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.File("state") + "/Lumatag/crash-reports"));
}

TEST_F(DesktopDialogsTest, CrashMarkerIsOfferedAtStartWhenTheAlertIsOn) {
  const std::string report = PlantReport(true);
  WriteSettings("", 0, "\"Minidump Alert\"=dword:00000001\n");
  ASSERT_TRUE(StartWithDialogs());
  runner_.Then([&report](ui::DialogBase& dialog) {
    EXPECT_EQ(As<CrashLogDialog>(dialog).FileBox()->toPlainText().toStdString(), report);
  });
  desktop_->ArmStartupTasks(*shell_);
  EXPECT_TRUE(StoredMinidumpAvailable());
  ASSERT_TRUE(desktop_->HasPendingStartupTasks());
  // The timer runs the offer once the event loop turns.
  EXPECT_TRUE(QTest::qWaitFor([this] { return !desktop_->HasPendingStartupTasks(); }, 30000));
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_FALSE(shell_->Naming().minidumpAvailable);
  EXPECT_FALSE(StoredMinidumpAvailable());
  EXPECT_FALSE(shell_->IsBusy());
}

TEST_F(DesktopDialogsTest, AlertOffOffersNothingAtStartButTheMenuStillShowsTheReport) {
  const std::string report = PlantReport(true);
  WriteSettings("");
  ASSERT_TRUE(StartWithDialogs());
  desktop_->ArmStartupTasks(*shell_);
  EXPECT_FALSE(desktop_->HasPendingStartupTasks());
  EXPECT_TRUE(shell_->Naming().minidumpAvailable);
  runner_.Then([&report](ui::DialogBase& dialog) {
    EXPECT_EQ(As<CrashLogDialog>(dialog).FileBox()->toPlainText().toStdString(), report);
  });
  Command(kCmdCrashLogs);
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_FALSE(shell_->Naming().minidumpAvailable);
  EXPECT_TRUE(presenter_.shown.empty());
}

// ------------------------------------------------------------------------------------------------
// Update check

std::string NewerDocument() {
  return "<versionData><versLatest><ver nm=\"Lumatag\" ver=\"99.0\" "
         "url=\"https://example.com/get\"/></versLatest><hists><hist cnt=\"1\" nm=\"Lumatag\">"
         "<notes cnt=\"1\" ver=\"99.0\" dateHigh=\"31293734\" dateLow=\"0\">"
         "<note desc=\"Much better.\"/></notes></hist></hists></versionData>";
}

TEST_F(DesktopDialogsTest, DueCheckRunsAtStartAndShowsTheNewerVersion) {
  fetcher_.document = NewerDocument();
  ASSERT_TRUE(StartWithDialogs());
  shell_->Naming().updateCheckPeriod = 1;  // weekly; never checked before
  runner_.Then([](ui::DialogBase& dialog) {
    EXPECT_EQ(As<UpdateAvailableDialog>(dialog).VersionLabel()->text(),
              "Version 99.0 is available for download.");
  });
  desktop_->ArmStartupTasks(*shell_);
  ASSERT_TRUE(desktop_->HasPendingStartupTasks());
  desktop_->RunStartupTasks(*shell_);
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_EQ(fetcher_.fetches, 1);
  SystemTime last;
  ASSERT_OK(ReadLastUpdateCheck(shell_->Host().Store(), &last));
  EXPECT_EQ(CompareCalendarFields(last, clock_.LocalNow()), 0);

  // A week later to the minute it is due again, a minute earlier not.
  clock_.Set(SystemTime{2027, 1, 1, 11, 9, 59, 0, 0});
  desktop_->ArmStartupTasks(*shell_);
  EXPECT_FALSE(desktop_->HasPendingStartupTasks());
  clock_.Set(SystemTime{2027, 1, 1, 11, 10, 0, 0, 0});
  desktop_->ArmStartupTasks(*shell_);
  EXPECT_TRUE(desktop_->HasPendingStartupTasks());
}

TEST_F(DesktopDialogsTest, NeverPeriodChecksNothingAtStartButTheDialogStillChecks) {
  fetcher_.document =
      "<versionData><versLatest><ver nm=\"Lumatag\" ver=\"0.1\" url=\"https://example.com\"/>"
      "</versLatest></versionData>";
  WriteSettings("");  // "Update Check Period" is "never"
  ASSERT_TRUE(StartWithDialogs());
  desktop_->ArmStartupTasks(*shell_);
  EXPECT_FALSE(desktop_->HasPendingStartupTasks());
  EXPECT_EQ(fetcher_.fetches, 0);
  runner_.Then([](ui::DialogBase& dialog) {
    auto& check = As<CheckForUpdatesDialog>(dialog);
    EXPECT_TRUE(check.Radio(kUpdateNeverRadio)->isChecked());
    check.CheckNowButton()->click();
    check.Radio(kUpdateDailyRadio)->click();
    check.CloseButton()->click();
  });
  Command(kCmdCheckUpdates);
  EXPECT_EQ(fetcher_.fetches, 1);
  EXPECT_EQ(LastMessage(), std::u16string(StringModule::BuiltIn().Text(IDS_UPDATE_UP_TO_DATE)));
  EXPECT_EQ(shell_->Naming().updateCheckPeriod, 0u);
  EXPECT_TRUE(shell_->SettingsChanged());
}

// The desktop's own fetcher against a server that never answers: the busy cursor is up and timers
// keep running (the window keeps painting) while it waits; then the failure is reported and the
// cursor restored.
TEST_F(DesktopDialogsTest, WaitingForTheServerShowsTheBusyCursorAndKeepsTheLoopTurning) {
  LocalHttpServer server(LocalHttpServer::Mode::kSilent);
  DesktopServices services;
  services.runner = &runner_;
  services.updateUrl = u"http://127.0.0.1:" + Utf8ToUtf16(std::to_string(server.Port())) +
                       u"/software/QuarrytreeSoftwareVersions.xml";
  services.transferTimeoutMs = 300;
  desktop_ = std::make_unique<DesktopDialogs>(clock_, services);
  WriteSettings("");
  ASSERT_TRUE(StartWithDialogs());
  bool sampled = false;
  Qt::CursorShape during = Qt::ArrowCursor;
  runner_.Then([&](ui::DialogBase& dialog) {
    QTimer::singleShot(50, [&] {
      sampled = true;
      if (const QCursor* cursor = QApplication::overrideCursor()) during = cursor->shape();
    });
    As<CheckForUpdatesDialog>(dialog).CheckNowButton()->click();
  });
  Command(kCmdCheckUpdates);
  EXPECT_TRUE(sampled);
  EXPECT_EQ(during, Qt::BusyCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(LastMessage(), std::u16string(StringModule::BuiltIn().Text(IDS_ERR_UPDATE_CHECK)));
}

// With LUMATAG_DIALOG_PICTURES set to a folder, a picture of the whole screen with the start-up
// update offer in front of the main window (for a person to look at; best under Xvfb).
TEST_F(DesktopDialogsTest, PictureOfTheStartupOfferOverTheWindow) {
  const QString folder = qEnvironmentVariable("LUMATAG_DIALOG_PICTURES");
  if (folder.isEmpty()) GTEST_SKIP() << "LUMATAG_DIALOG_PICTURES is not set";
  QDir().mkpath(folder);
  fetcher_.document = NewerDocument();
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  WriteSettings(photos_ + "/");
  ASSERT_TRUE(StartWithDialogs());
  shell_->Naming().updateCheckPeriod = 1;
  runner_.Then([&folder](ui::DialogBase& dialog) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(200);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    EXPECT_TRUE(screen.save(folder + "/startup-update-offer.png", "PNG"));
  });
  desktop_->ArmStartupTasks(*shell_);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !desktop_->HasPendingStartupTasks(); }, 30000));
  EXPECT_TRUE(runner_.AllRan());
}

}  // namespace
}  // namespace lumatag::shell
