// Start-up after a crash: the marker the crash handler left becomes "Minidump Available", stored
// at once, and is gone afterwards; a start without a marker leaves the setting alone.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "crash/CrashReportFolder.h"
#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

using CrashMarkerTest = ShellTest;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(CrashMarkerTest, MarkerBecomesMinidumpAvailableOnceAtStart) {
  WriteSettings("");
  CrashReportFolder folder;
  ASSERT_OK(folder.Open(dir_.File("state")));
  std::ofstream(folder.Path() + "/" + kCrashMarkerName) << "";

  ASSERT_TRUE(Start());
  EXPECT_TRUE(shell_->CrashedLastTime());
  EXPECT_TRUE(shell_->Naming().minidumpAvailable);
  EXPECT_NE(ReadAll(dir_.File("settings.reg")).find("\"Minidump Available\"=dword:00000001"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/" + kCrashMarkerName));

  // The next start finds no marker; the setting stays until the crash logs have been shown.
  ASSERT_TRUE(Start());
  EXPECT_FALSE(shell_->CrashedLastTime());
  EXPECT_TRUE(shell_->Naming().minidumpAvailable);
}

TEST_F(CrashMarkerTest, StartWithoutMarkerLeavesTheSettingAlone) {
  WriteSettings("");
  ASSERT_TRUE(Start());
  EXPECT_FALSE(shell_->CrashedLastTime());
  EXPECT_FALSE(shell_->Naming().minidumpAvailable);
}

}  // namespace
}  // namespace lumatag::shell
