// The crash handler in a child process that crashes on purpose: the report it leaves, the marker
// the next start turns into "Minidump Available", and what it never touches.
#include "crash/CrashHandler.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <regex>

#include "CrashTestSupport.h"
#include "crash/CrashLogs.h"
#include "crash/CrashReportFolder.h"
#include "foundation/StringIds.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

std::string LocalName(time_t t) {
  tm parts{};
  localtime_r(&t, &parts);
  char name[64];
  std::strftime(name, sizeof name, "LTGv1_%Y%m%d%H%M%S.dmp", &parts);
  return name;
}

// The wall clock the handler reads. time() may lag it by a clock tick, so a report written at the
// start of a second could look later than a time() taken after the child ended.
time_t RealSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec;
}

class CrashHandlerTest : public ::testing::Test {
 protected:
  std::string Folder() const { return temp.path() + "/Lumatag/crash-reports"; }
  std::vector<std::string> Reports() const {
    std::vector<std::string> reports;
    for (const std::string& name : FolderNames(Folder())) {
      if (IsReportFileName(name.c_str())) reports.push_back(name);
    }
    return reports;
  }
  // The next start: the marker becomes the setting.
  bool NextStartFindsCrash() {
    NamingSettings settings;
    bool crashed = false;
    EXPECT_OK(TakeCrashMarker(temp.path(), store, settings, &crashed));
    EXPECT_EQ(settings.minidumpAvailable, crashed);
    return crashed;
  }
  bool StoredAvailable() {
    SettingsKey key;
    EXPECT_OK(store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key));
    bool available = false;
    EXPECT_OK(store.GetBoolDefaultFalse(key, IDS_REG_MINIDUMP_AVAILABLE, &available));
    return available;
  }

  TempDir temp;
  MemoryRegistryStore registry;
  SettingsStore store{registry};
};

struct SignalCase {
  const char* how;
  int signal;
  const char* name;
};

class CrashHandlerSignalTest : public CrashHandlerTest,
                               public ::testing::WithParamInterface<SignalCase> {};

TEST_P(CrashHandlerSignalTest, ReportThenTheSignalEndsTheProcess) {
  const SignalCase& c = GetParam();
  const time_t before = RealSeconds();
  const ChildResult child = RunCrashingChild(temp.path(), c.how);
  const time_t after = RealSeconds();
  ASSERT_TRUE(child.signalled) << "exit code " << child.exitCode;
  EXPECT_EQ(child.signal, c.signal);

  const std::vector<std::string> reports = Reports();
  ASSERT_EQ(reports.size(), 1u) << ::testing::PrintToString(FolderNames(Folder()));
  EXPECT_TRUE(std::regex_match(reports[0], std::regex("LTGv1_[0-9]{14}\\.dmp")));
  EXPECT_GE(reports[0], LocalName(before));
  EXPECT_LE(reports[0], LocalName(after));
  const std::string report = ReadFile(Folder() + "/" + reports[0]);
  SCOPED_TRACE(report);
  struct stat info {};
  ASSERT_EQ(stat((Folder() + "/" + reports[0]).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  EXPECT_NE(report.find("Version: 9.8.7-test\n"), std::string::npos) << report;
  EXPECT_NE(report.find("Signal: " + std::to_string(c.signal) + " (" + c.name + ")"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\nAddress: 0x"), std::string::npos);
  EXPECT_NE(report.find("\nTime: "), std::string::npos);
  const std::size_t backtrace = report.find("\nBacktrace:\n");
  const std::size_t map = report.find("\nMemory map:\n");
  ASSERT_NE(backtrace, std::string::npos);
  ASSERT_NE(map, std::string::npos);
  EXPECT_GT(map - backtrace, 20u) << "no frames";
  EXPECT_NE(report.find("lumatag_crashing_child", map), std::string::npos) << "no mapping";

  EXPECT_TRUE(NextStartFindsCrash());
  EXPECT_TRUE(StoredAvailable());
  EXPECT_FALSE(NextStartFindsCrash()) << "the marker is taken once";
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashHandlerSignalTest,
                         ::testing::Values(SignalCase{"segv", SIGSEGV, "SIGSEGV"},
                                           SignalCase{"abort", SIGABRT, "SIGABRT"},
                                           SignalCase{"ill", SIGILL, "SIGILL"},
                                           SignalCase{"fpe", SIGFPE, "SIGFPE"},
                                           SignalCase{"bus", SIGBUS, "SIGBUS"},
                                           SignalCase{"overflow", SIGSEGV, "SIGSEGV"},
                                           SignalCase{"thread_overflow", SIGSEGV, "SIGSEGV"}),
                         [](const auto& info) { return std::string(info.param.how); });

TEST_F(CrashHandlerTest, NoCrashNoReportNoMarker) {
  const ChildResult child = RunCrashingChild(temp.path(), "none");
  EXPECT_FALSE(child.signalled);
  EXPECT_EQ(child.exitCode, 0);
  EXPECT_TRUE(Reports().empty());
  EXPECT_FALSE(NextStartFindsCrash());
}

TEST_F(CrashHandlerTest, TwoCrashesLeaveOnlyTheSecondReport) {
  ASSERT_TRUE(RunCrashingChild(temp.path(), "segv").signalled);
  const std::vector<std::string> first = Reports();
  ASSERT_EQ(first.size(), 1u);
  // Reports of other runs in any letter case go too.
  WriteFile(Folder() + "/OLDER.DMP", "old");
  sleep(1);  // the second report gets another name
  ASSERT_TRUE(RunCrashingChild(temp.path(), "abort").signalled);
  const std::vector<std::string> second = Reports();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NE(second[0], first[0]);
  EXPECT_NE(ReadFile(Folder() + "/" + second[0]).find("(SIGABRT)"), std::string::npos);
}

TEST_F(CrashHandlerTest, OnlyPlainReportFilesAreDeleted) {
  ASSERT_EQ(RunCrashingChild(temp.path(), "none").exitCode, 0);  // makes the folder
  const std::string outside = temp.File("outside");
  ASSERT_EQ(mkdir(outside.c_str(), 0700), 0);
  WriteFile(outside + "/victim.dmp", "keep");
  ASSERT_EQ(symlink((outside + "/victim.dmp").c_str(), (Folder() + "/link.dmp").c_str()), 0);
  ASSERT_EQ(symlink(outside.c_str(), (Folder() + "/dir.dmp").c_str()), 0);
  ASSERT_EQ(mkdir((Folder() + "/sub.dmp").c_str(), 0700), 0);
  WriteFile(Folder() + "/sub.dmp/inner.dmp", "keep");
  WriteFile(Folder() + "/notes.txt", "keep");

  ASSERT_TRUE(RunCrashingChild(temp.path(), "segv").signalled);
  EXPECT_EQ(ReadFile(outside + "/victim.dmp"), "keep");
  EXPECT_TRUE(Exists(Folder() + "/link.dmp"));
  EXPECT_TRUE(Exists(Folder() + "/dir.dmp"));
  EXPECT_EQ(ReadFile(Folder() + "/sub.dmp/inner.dmp"), "keep");
  EXPECT_TRUE(Exists(Folder() + "/notes.txt"));
}

TEST_F(CrashHandlerTest, PlantedLinkForTheFolderIsNotFollowed) {
  const std::string outside = temp.File("outside");
  ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
  WriteFile(outside + "/victim.dmp", "keep");
  const std::string root = temp.File("root");
  ASSERT_EQ(mkdir(root.c_str(), 0700), 0);
  ASSERT_EQ(symlink(outside.c_str(), (root + "/Lumatag").c_str()), 0);

  // The handler refuses to install; the crash then ends the child without a report.
  const ChildResult refused = RunCrashingChild(root, "segv");
  EXPECT_EQ(refused.exitCode, 3);
  EXPECT_EQ(FolderNames(outside), std::vector<std::string>{"victim.dmp"});
  EXPECT_EQ(ReadFile(outside + "/victim.dmp"), "keep");

  NamingSettings settings;
  bool crashed = true;
  EXPECT_STATUS(E_ACCESS_DENIED, TakeCrashMarker(root, store, settings, &crashed));
  EXPECT_FALSE(crashed);
  EXPECT_EQ(FolderNames(outside), std::vector<std::string>{"victim.dmp"});
}

}  // namespace
}  // namespace lumatag
