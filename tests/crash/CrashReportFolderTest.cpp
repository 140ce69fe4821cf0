// The report folder: made the user's own, never reached through a link planted in its place.
#include "crash/CrashReportFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CrashTestSupport.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

TEST(CrashReportFolderTest, CreatesPrivateFoldersBelowAMissingRoot) {
  TempDir temp;
  const std::string root = temp.File("state/deeper");
  CrashReportFolder folder;
  ASSERT_OK(folder.Open(root));
  EXPECT_EQ(folder.Path(), root + "/Lumatag/crash-reports");
  EXPECT_EQ(ModeOf(root + "/Lumatag"), 0700u);
  EXPECT_EQ(ModeOf(folder.Path()), 0700u);
  std::string name;
  EXPECT_STATUS(E_FILE_NOT_FOUND, folder.FindFirstReport(&name));
}

TEST(CrashReportFolderTest, TakesAwayOthersAccess) {
  TempDir temp;
  ASSERT_EQ(mkdir(temp.File("Lumatag").c_str(), 0755), 0);
  ASSERT_EQ(chmod(temp.File("Lumatag").c_str(), 0775), 0);
  CrashReportFolder folder;
  ASSERT_OK(folder.Open(temp.path()));
  EXPECT_EQ(ModeOf(temp.File("Lumatag")), 0700u);
}

TEST(CrashReportFolderTest, RefusesALinkOrFileInAFoldersPlace) {
  struct Case {
    const char* planted;  // the path below the root that is replaced
    bool file;            // a plain file instead of a link
  };
  const Case cases[] = {{"Lumatag", false},
                        {"Lumatag/crash-reports", false},
                        {"Lumatag", true},
                        {"Lumatag/crash-reports", true}};
  for (const Case& c : cases) {
    TempDir temp;
    const std::string outside = temp.File("outside");
    ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
    WriteFile(outside + "/victim.dmp", "keep");
    ASSERT_EQ(mkdir(temp.File("root").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(temp.File("root/Lumatag").c_str(), 0700), 0);
    const std::string planted = temp.File("root/") + c.planted;
    if (std::string(c.planted) == "Lumatag") {
      ASSERT_EQ(rmdir(planted.c_str()), 0);
    }
    if (c.file) {
      WriteFile(planted, "x");
    } else {
      ASSERT_EQ(symlink(outside.c_str(), planted.c_str()), 0);
    }
    CrashReportFolder folder;
    EXPECT_STATUS(E_ACCESS_DENIED, folder.Open(temp.File("root"))) << c.planted;
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_EQ(FolderNames(outside), std::vector<std::string>{"victim.dmp"});
    EXPECT_EQ(ModeOf(outside), 0755u);
  }
}

TEST(CrashReportFolderTest, FindsOnlyPlainReportFilesAndTakesTheMarkerOnce) {
  TempDir temp;
  CrashReportFolder folder;
  ASSERT_OK(folder.Open(temp.path()));
  const std::string path = folder.Path();
  WriteFile(temp.File("elsewhere.dmp"), "x");
  ASSERT_EQ(symlink(temp.File("elsewhere.dmp").c_str(), (path + "/link.dmp").c_str()), 0);
  ASSERT_EQ(mkdir((path + "/folder.dmp").c_str(), 0700), 0);
  WriteFile(path + "/notes.txt", "x");
  std::string name;
  EXPECT_STATUS(E_FILE_NOT_FOUND, folder.FindFirstReport(&name));
  WriteFile(path + "/LTGV1_20200101000000.DMP", "x");
  ASSERT_OK(folder.FindFirstReport(&name));
  EXPECT_EQ(name, "LTGV1_20200101000000.DMP");

  bool found = true;
  ASSERT_OK(folder.TakeMarker(&found));
  EXPECT_FALSE(found);
  WriteFile(path + "/" + kCrashMarkerName, "");
  ASSERT_OK(folder.TakeMarker(&found));
  EXPECT_TRUE(found);
  ASSERT_OK(folder.TakeMarker(&found));
  EXPECT_FALSE(found);
}

}  // namespace
}  // namespace lumatag
