// Offering the crash log: at start-up only with "Minidump Alert", always from the menu; what the
// dialog shows and when "Minidump Available" is cleared.
#include "crash/CrashLogs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CrashTestSupport.h"
#include "crash/CrashReportFolder.h"
#include "foundation/StringIds.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

class RecordingView final : public CrashLogsView {
 public:
  Status ShowCrashLogDialog(const CrashLogDialogContent& content) override {
    shown.push_back(content);
    return result;
  }
  std::vector<CrashLogDialogContent> shown;
  Status result = S_OK;
};

class CrashLogsTest : public ::testing::Test {
 protected:
  CrashLogsTest() {
    context.presenter = &presenter;
    settings.minidumpAvailable = true;
    SetStoredAvailable(1);
  }
  std::string Folder() const { return temp.path() + "/Lumatag/crash-reports"; }
  void MakeFolder() {
    CrashReportFolder folder;
    ASSERT_OK(folder.Open(temp.path()));
  }
  void SetStoredAvailable(std::uint32_t value) {
    SettingsKey key;
    EXPECT_OK(store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key));
    EXPECT_OK(store.SetDword(key, IDS_REG_MINIDUMP_AVAILABLE, value));
  }
  bool StoredAvailable() {
    SettingsKey key;
    EXPECT_OK(store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key));
    bool available = false;
    EXPECT_OK(store.GetBoolDefaultFalse(key, IDS_REG_MINIDUMP_AVAILABLE, &available));
    return available;
  }
  Status Show(bool interactive, const std::string& root) {
    return ShowCrashLogs(interactive, root, store, settings, context, view);
  }

  TempDir temp;
  MemoryRegistryStore registry;
  SettingsStore store{registry};
  NamingSettings settings;
  ScriptedMessagePresenter presenter;
  AppContext context;
  RecordingView view;
};

TEST_F(CrashLogsTest, OfferedAtStartOnlyWithBothFlags) {
  for (const bool alert : {false, true}) {
    for (const bool available : {false, true}) {
      NamingSettings s;
      s.minidumpAlert = alert;
      s.minidumpAvailable = available;
      EXPECT_EQ(ShouldOfferCrashLogsAtStart(s), alert && available);
    }
  }
}

TEST_F(CrashLogsTest, MissingOrEmptyFolderSaysSoOnlyWhenAsked) {
  for (const bool created : {false, true}) {
    for (const bool interactive : {false, true}) {
      TempDir root;
      if (created) {
        CrashReportFolder folder;
        ASSERT_OK(folder.Open(root.path()));
      }
      presenter.shown.clear();
      settings.minidumpAvailable = true;
      SetStoredAvailable(1);
      EXPECT_OK(Show(interactive, root.path()));
      EXPECT_TRUE(view.shown.empty());
      if (interactive) {
        ASSERT_EQ(presenter.shown.size(), 1u);
        EXPECT_EQ(presenter.shown[0].text, u"There are no crash logs available for Lumatag.");
        EXPECT_EQ(presenter.shown[0].flags & MB_ICONMASK, MB_ICONINFORMATION);
      } else {
        EXPECT_TRUE(presenter.shown.empty());
      }
      EXPECT_TRUE(Exists(root.path() + "/Lumatag/crash-reports")) << "the folder is made";
      EXPECT_FALSE(settings.minidumpAvailable);
      EXPECT_FALSE(StoredAvailable());
    }
  }
}

TEST_F(CrashLogsTest, AlertOffStillLetsTheMenuShowTheReport) {
  settings.minidumpAlert = false;
  EXPECT_FALSE(ShouldOfferCrashLogsAtStart(settings));
  MakeFolder();
  // The search ignores letter case.
  WriteFile(Folder() + "/LTGv1_20140305140709.DMP", "report");
  view.result = E_FAIL;  // the dialog's outcome is not looked at
  EXPECT_OK(Show(true, temp.path()));
  ASSERT_EQ(view.shown.size(), 1u);
  const CrashLogDialogContent& content = view.shown[0];
  EXPECT_EQ(content.title, u"Lumatag Crash Log Available");
  EXPECT_EQ(content.fileLabel, u"Minidump &file:");
  EXPECT_EQ(content.emailLabel, u"&Email to:");
  CountedString expected;
  ASSERT_OK(expected.AssignUtf8(Folder() + "/LTGv1_20140305140709.DMP"));
  EXPECT_EQ(content.filePath, expected.View());
  EXPECT_EQ(content.email, BuiltInProductInfo().supportEmail);
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_FALSE(settings.minidumpAvailable);
  EXPECT_FALSE(StoredAvailable());
  // The report stays until the next crash.
  EXPECT_TRUE(Exists(Folder() + "/LTGv1_20140305140709.DMP"));
}

TEST_F(CrashLogsTest, UnusableFolderShowsNothingAndKeepsTheFlag) {
  const std::string outside = temp.File("outside");
  ASSERT_EQ(mkdir(outside.c_str(), 0700), 0);
  WriteFile(outside + "/victim.dmp", "keep");
  const std::string root = temp.File("root");
  ASSERT_EQ(mkdir(root.c_str(), 0700), 0);
  ASSERT_EQ(symlink(outside.c_str(), (root + "/Lumatag").c_str()), 0);
  EXPECT_STATUS(E_ACCESS_DENIED, Show(true, root));
  EXPECT_TRUE(view.shown.empty());
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_TRUE(settings.minidumpAvailable);
  EXPECT_TRUE(StoredAvailable());
}

}  // namespace
}  // namespace lumatag
