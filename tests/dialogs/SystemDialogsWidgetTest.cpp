// The Crash Log Available dialog and the two update dialogs as a person sees them: what each box
// holds, the history tree, the download link (web addresses only), and "Check for Updates Now..."
// refreshing the last check.
#include <QTest>

#include "crash/CrashReportFolder.h"
#include "dialogs/CrashLogDialog.h"
#include "dialogs/DialogWidgetTestSupport.h"
#include "dialogs/UpdateCheckDialogs.h"
#include "foundation/StringIds.h"
#include "platform/fake/FixedClock.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "ports/SettingsStore.h"
#include "ui/QtText.h"
#include "update/qt/QtXmlEventParser.h"

#include <fcntl.h>
#include <unistd.h>

namespace lumatag {
namespace {

using ui::ToQString;
using ui::ToU16;

// ------------------------------------------------------------------------------------------------
// Crash Log Available

class CrashLogDialogTest : public DialogWidgetTest {
 protected:
  CrashLogDialogTest() { settings_.minidumpAvailable = true; }

  TempDir temp_;
  MemoryRegistryStore registry_;
  SettingsStore store_{registry_};
  NamingSettings settings_;
};

TEST_F(CrashLogDialogTest, ShowsTheReportPathAndAddressForCopying) {
  std::string folder;
  {
    CrashReportFolder reports;
    ASSERT_OK(reports.Open(temp_.path()));
    folder = reports.Path();
    const int fd = openat(reports.Descriptor(), "LTGv1_20260301120000.DMP",
                          O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
  }
  runner_.Then([&folder](ui::DialogBase& dialog) {
    auto& crash = As<CrashLogDialog>(dialog);
    EXPECT_EQ(crash.windowTitle(), "Lumatag Crash Log Available");
    EXPECT_EQ(crash.FileBox()->toPlainText().toStdString(), folder + "/LTGv1_20260301120000.DMP");
    EXPECT_TRUE(crash.FileBox()->isReadOnly());
    EXPECT_EQ(ToU16(crash.EmailBox()->text()), BuiltInProductInfo().supportEmail);
    EXPECT_TRUE(crash.EmailBox()->isReadOnly());
    crash.accept();  // "Close"
  });
  DialogCrashLogsView view(runner_, ui_, nullptr);
  ASSERT_OK(ShowCrashLogs(true, temp_.path(), store_, settings_, context_, view));
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_FALSE(settings_.minidumpAvailable);
}

// ------------------------------------------------------------------------------------------------
// Check for Updates and Update Available

// Serves one document for any address.
class OneDocumentFetcher final : public DocumentFetcher {
 public:
  std::string document;
  int fetches = 0;
  Status Fetch(std::u16string_view, std::size_t maxBytes, std::string* body,
               FetchFailure*) override {
    ++fetches;
    if (document.size() > maxBytes) return E_DOCUMENT_TOO_LARGE;
    *body = document;
    return S_OK;
  }
};

// This product at `version` with a download link `url`, and a history of two versions.
std::string Document(const std::string& version, const std::string& url) {
  return "<versionData><versLatest><ver nm=\"lumatag\" ver=\"" + version + "\" url=\"" + url +
         "\"/></versLatest><hists><hist cnt=\"2\" nm=\"Lumatag\">"
         "<notes cnt=\"2\" ver=\"" +
         version +
         "\" dateHigh=\"31293734\" dateLow=\"3900276736\">"
         "<note desc=\"Faster scans.\"/><note desc=\"German texts.\"/></notes>"
         "<notes cnt=\"1\" ver=\"1.0.0\" dateHigh=\"31000000\" dateLow=\"0\">"
         "<note desc=\"First release.\"/></notes></hist></hists></versionData>";
}

class UpdateDialogsTest : public DialogWidgetTest {
 protected:
  UpdateDialogsTest() {
    EXPECT_OK(DateLocale::FromName("en-US", &locale_));
    environment_.store = &store_;
    environment_.view = &view_;
    environment_.productName = u"Lumatag";
    environment_.productVersion = u"1.0.0";
    environment_.url = u"https://updates.example/versions.xml";
  }
  // Runs the Check for Updates dialog with `script`, and `available` for the Update Available
  // dialog when one opens from it; returns the period chosen.
  std::uint32_t RunCheckDialog(std::uint32_t period, StepRunner::Step script,
                               StepRunner::Step available = {}) {
    CheckForUpdatesDialogModel model(period);
    CheckForUpdatesDialog dialog(ui_, nullptr, model, environment_, locale_);
    view_.SetOwner(&dialog);
    runner_.Then(std::move(script));
    if (available) runner_.Then(std::move(available));
    const Status status = ui::RunDialog(runner_, dialog);
    EXPECT_TRUE(status == S_OK || status == E_CANCELLED) << status;
    return model.Period();
  }

  DateLocale locale_;
  MemoryRegistryStore registry_;
  SettingsStore store_{registry_};
  QtXmlEventParser parser_;
  OneDocumentFetcher fetcher_;
  FixedClock clock_{SystemTime{2026, 3, 0, 14, 9, 30, 5, 0}};
  RecordingOpener opener_;
  DialogUpdateAvailableView view_{runner_, ui_, nullptr, locale_,
                                  [this](std::u16string_view url) { return opener_.OpenUrl(url); }};
  UpdateCheckEnvironment environment_{context_, parser_, fetcher_, clock_};
};

TEST_F(UpdateDialogsTest, ShowsNeverAndThePeriodAndTakesTheChosenOne) {
  const std::uint32_t chosen = RunCheckDialog(1, [](ui::DialogBase& dialog) {
    auto& check = As<CheckForUpdatesDialog>(dialog);
    EXPECT_EQ(check.windowTitle(), "Check for Updates");
    EXPECT_EQ(check.LastCheck()->text(), "Never");
    EXPECT_TRUE(check.Radio(kUpdateWeeklyRadio)->isChecked());
    EXPECT_EQ(check.Radio(kUpdateNeverRadio)->toolTip(),
              "When checked a check for updates will never happen automatically.");
    check.Radio(kUpdateMonthlyRadio)->click();
    check.CloseButton()->click();
  });
  EXPECT_EQ(chosen, 2u);
  EXPECT_EQ(fetcher_.fetches, 0);
}

TEST_F(UpdateDialogsTest, CheckNowUpToDateSaysSoAndShowsTheNewLastCheck) {
  fetcher_.document = Document("1.0.0", "https://example.com/download");
  RunCheckDialog(3, [this](ui::DialogBase& dialog) {
    auto& check = As<CheckForUpdatesDialog>(dialog);
    EXPECT_TRUE(check.Radio(kUpdateNeverRadio)->isChecked());
    check.CheckNowButton()->click();
    EXPECT_EQ(Shown(), std::vector<std::u16string>{TableText(IDS_UPDATE_UP_TO_DATE)});
    EXPECT_EQ(check.LastCheck()->text(), "3/14/2026 9:30:05 AM");
    EXPECT_TRUE(check.isEnabled());
  });
  EXPECT_EQ(fetcher_.fetches, 1);
}

TEST_F(UpdateDialogsTest, NewerVersionShowsTheVersionTheLinkAndTheHistory) {
  fetcher_.document = Document("1.2.0", "https://example.com/download");
  RunCheckDialog(
      1,
      [this](ui::DialogBase& dialog) {
        As<CheckForUpdatesDialog>(dialog).CheckNowButton()->click();
        EXPECT_EQ(As<CheckForUpdatesDialog>(dialog).LastCheck()->text(), "3/14/2026 9:30:05 AM");
        EXPECT_TRUE(presenter_.shown.empty());
      },
      [this](ui::DialogBase& dialog) {
        auto& available = As<UpdateAvailableDialog>(dialog);
        EXPECT_EQ(available.windowTitle(), "Lumatag Update Available");
        EXPECT_EQ(available.VersionLabel()->text(), "Version 1.2.0 is available for download.");
        EXPECT_EQ(available.Link()->text(), "Download the latest version of Lumatag");
        QTreeWidget* tree = available.History();
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "Version 1.2.0 (12/1/2026)");
        EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
        EXPECT_FALSE(tree->topLevelItem(1)->isExpanded());
        ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0), "German texts.");
        EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), "First release.");
        QTest::mouseClick(available.Link(), Qt::LeftButton);
        EXPECT_EQ(opener_.urls, std::vector<std::u16string>{u"https://example.com/download"});
      });
  EXPECT_TRUE(runner_.AllRan());
}

// The link came over the network: anything but a web page is refused and never handed on.
TEST_F(UpdateDialogsTest, DownloadLinkOtherThanAWebPageIsRefused) {
  for (const std::string url : {"file:///etc/passwd", "javascript:alert(1)", "/usr/bin/xterm"}) {
    SCOPED_TRACE(url);
    presenter_.shown.clear();
    fetcher_.document = Document("2.0", url);
    RunCheckDialog(
        1,
        [](ui::DialogBase& dialog) { As<CheckForUpdatesDialog>(dialog).CheckNowButton()->click(); },
        [](ui::DialogBase& dialog) {
          QTest::keyClick(As<UpdateAvailableDialog>(dialog).Link(), Qt::Key_Return);
        });
    EXPECT_EQ(Shown(), std::vector<std::u16string>{TableText(IDS_ERR_WEB_PAGE)});
  }
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_TRUE(opener_.urls.empty());
}

}  // namespace
}  // namespace lumatag
