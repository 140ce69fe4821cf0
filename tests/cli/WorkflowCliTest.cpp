// lumatag-cli scan, rename-remaining, rename and delete on real folders, with the settings and
// the trash in a temporary directory; and a Rename Remaining killed at random moments.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

namespace fs = std::filesystem;

class WorkflowCliTest : public testing::Test {
 protected:
  WorkflowCliTest() {
    fs::create_directories(home_.File("config"));
    fs::create_directories(home_.File("data"));
    fs::create_directories(home_.File("photos"));
  }

  std::string Photos() const { return home_.File("photos"); }

  void AddPhoto(const std::string& name, const std::string& taken, const std::string& tail = "") {
    photo::PhotoBuilder builder;
    builder.Ascii(photo::Ifd::kExif, 0x9003, taken);
    const photo::Bytes bytes = builder.Jpeg();
    std::ofstream(Photos() + "/" + name, std::ios::binary)
        << std::string(bytes.begin(), bytes.end()) << tail;
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Photos())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The shell command that runs lumatag-cli with this test's settings and trash.
  std::string Command(const std::string& arguments) const {
    // The rename journal too stays inside the test's directory.
    return "XDG_CONFIG_HOME='" + home_.File("config") + "' XDG_DATA_HOME='" + home_.File("data") +
           "' XDG_STATE_HOME='" + home_.File("state") + "' " + LUMATAG_CLI + " " + arguments;
  }

  // Runs lumatag-cli with `input` typed on its standard input; standard error goes to a file.
  CliRun Run(const std::string& arguments, const std::string& input = "") const {
    return RunShell("printf '" + input + "' | " + Command(arguments) + " 2>" +
                    ShellQuoted(home_.File("stderr")));
  }
  std::string Stderr() const {
    std::ifstream in(home_.File("stderr"));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempDir home_;
};

TEST_F(WorkflowCliTest, ScanPrintsOneLinePerPhotoThenTheCounts) {
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  AddPhoto("Trip #007.JPG", "2013:05:03 11:30:05");
  AddPhoto("IMG_0001.JPG", "2013:05:01 09:00:00");
  AddPhoto("IMG_0003.JPEG", "2013:05:01 09:00:00");
  const CliRun run = Run("scan " + ShellQuoted(Photos()));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out,
            "1\tunnamed\tIMG_0001.JPG\t2013-05-01 09:00:00\t\t\t1\n"
            "2\tunnamed\tIMG_0002.JPG\t2013-05-02 10:00:00\t\t\t2\n"
            "3\tnamed\tTrip #007.JPG\t2013-05-03 11:30:05\tHash sign & 3 digits\tTrip\t7\n"
            "Photo #1 of 3.\n"
            "2 photos still to be named.\n");
}

TEST_F(WorkflowCliTest, ScanWithoutFolderUsesThePicturesFolderAndFailsOnAMissingFolder) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 09:00:00");
  std::ofstream(home_.File("config") + "/user-dirs.dirs")
      << "XDG_PICTURES_DIR=\"" << Photos() << "\"\n";
  CliRun run = Run("scan");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out,
            "1\tunnamed\tIMG_0001.JPG\t2013-05-01 09:00:00\t\t\t1\nPhoto #1 of 1.\n"
            "1 photo still to be named.\n");
  run = Run("scan " + ShellQuoted(home_.File("missing")));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(Stderr().find("The specified folder does not exist."), std::string::npos);
  const fs::path empty = home_.File("empty");
  fs::create_directories(empty / "sub");
  run = Run("scan " + ShellQuoted(empty.string()));
  EXPECT_EQ(run.out, "Photo #0 of 0.\n0 photos still to be named.\n");
}

TEST_F(WorkflowCliTest, TheFolderGivenIsSavedAsTheWorkingFolder) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 09:00:00");
  const CliRun first = Run("scan " + ShellQuoted(Photos()));
  EXPECT_EQ(first.status, 0) << Stderr();
  // The next run without a folder works in the folder given last time.
  const CliRun second = Run("scan");
  EXPECT_EQ(second.status, 0) << Stderr();
  EXPECT_EQ(second.out, first.out);
  EXPECT_NE(second.out.find("IMG_0001.JPG"), std::string::npos);
}

TEST_F(WorkflowCliTest, ArgumentsTheReaderRefuses) {
  for (const std::string args :
       {"scan a b", "rename-remaining --base Trip", "rename-remaining F --pattern-name",
        "rename-remaining F G --pattern-name P --base B", "rename-remaining F --base B --bogus",
        "rename F G", "delete F", "strings extra"}) {
    EXPECT_EQ(Run(args).status, 2) << args;
  }
}

TEST_F(WorkflowCliTest, RenameRemainingDryRunListsAndTouchesNothing) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 09:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 09:00:00");
  AddPhoto("IMG_0003.JPG", "2013:05:03 09:00:00");
  const std::string args = "rename-remaining " + ShellQuoted(Photos()) +
                           " --pattern-name 'Hash sign & 3 digits' --base Trip";
  CliRun run = Run(args + " --dry-run");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out,
            "IMG_0001.JPG -> Trip #001.JPG\nIMG_0002.JPG -> Trip #002.JPG\n"
            "IMG_0003.JPG -> Trip #003.JPG\n3 photos would be renamed.\n");
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
  run = Run(args + " --dry-run --from IMG_0003.JPG");
  EXPECT_EQ(run.out, "IMG_0003.JPG -> Trip #001.JPG\n1 photo would be renamed.\n");
  // Answering No to the confirmation changes nothing.
  run = Run(args + " --from IMG_0002.JPG", "n\\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(Stderr().find("Do you want to proceed with renaming 2 UNNAMED photos?"),
            std::string::npos);
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
  run = Run(args + " --from IMG_0002.JPG --mode all", "y\\n");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out,
            "IMG_0002.JPG -> Trip #001.JPG\nIMG_0003.JPG -> Trip #002.JPG\n"
            "2 photos were renamed.\n");
  run = Run(args + " --yes");
  EXPECT_EQ(run.out, "IMG_0001.JPG -> Trip #003.JPG\n1 photo was renamed.\n");
  EXPECT_EQ(Files(), (std::vector<std::string>{"Trip #001.JPG", "Trip #002.JPG", "Trip #003.JPG"}));
}

TEST_F(WorkflowCliTest, RenameAndDeleteOnePhotoWithTheirChecks) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 09:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 09:00:00");
  CliRun run = Run("rename " + ShellQuoted(Photos()) + " IMG_0001.JPG DSC_1234.JPG");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(Stderr().find("camera generated"), std::string::npos);
  run = Run("rename " + ShellQuoted(Photos()) + " IMG_0001.JPG Beach");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out, "IMG_0001.JPG -> Beach.JPG\n");
  run = Run("rename " + ShellQuoted(Photos()) + " IMG_0002.JPG beach.jpg", "n\\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(Stderr().find("not unique"), std::string::npos);
  run = Run("delete " + ShellQuoted(Photos()) + " IMG_0002.JPG", "n\\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Files(), (std::vector<std::string>{"Beach.JPG", "IMG_0002.JPG"}));
  run = Run("delete " + ShellQuoted(Photos()) + " IMG_0002.JPG", "y\\n");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(Files(), (std::vector<std::string>{"Beach.JPG"}));
  EXPECT_TRUE(fs::exists(home_.File("data") + "/Trash/files/IMG_0002.JPG"));
  run = Run("delete " + ShellQuoted(Photos()) + " nothing.JPG");
  EXPECT_EQ(run.status, 1);
}

TEST_F(WorkflowCliTest, UsageErrors) {
  for (const char* args : {"scan a b", "rename-remaining", "rename-remaining x --base b",
                           "rename-remaining x --pattern-name p", "rename x y",
                           "rename-remaining x --pattern-name p --base b --mode odd", "delete x"}) {
    EXPECT_EQ(Run(args).status, 2) << args;
  }
}

// Kills Rename Remaining runs after a random number of renames. Afterwards every photo is there
// exactly once, under its old or its new name, with its own content: nothing overwritten, nothing
// lost.
TEST_F(WorkflowCliTest, KilledRenameRemainingNeverLosesOrOverwritesAPhoto) {
  constexpr int kPhotos = 300;
  std::map<std::string, std::string> contents;  // content -> original name
  for (int i = 1; i <= kPhotos; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
    char taken[32];
    std::snprintf(taken, sizeof taken, "2013:05:%02d %02d:%02d:%02d", 1 + i / 3600 % 28,
                  i / 60 % 24, i % 60, i % 60);
    const std::string tail = "photo " + std::to_string(i);
    AddPhoto(name, taken, tail);
    contents[tail] = name;
  }
  const auto namedThisRound = [this](int round) {
    const std::string prefix = "Round " + std::to_string(round) + " ";
    int count = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Photos(), error)) {
      count += entry.path().filename().string().rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return count;
  };
  std::mt19937 random(20131205);
  // Rounds stopped half-way (some photos under this round's base name, some not). The kill follows
  // the run's progress in the folder rather than a clock, so it lands mid-batch however fast or
  // loaded the machine is; the child runs at the lowest priority so the watcher keeps up.
  int partial = 0;
  for (int round = 0; round < 40 && partial < 4; ++round) {
    const int goal = 1 + static_cast<int>(random() % (kPhotos * 3 / 4));
    RunUntilKilled("env " + Command("rename-remaining " + ShellQuoted(Photos()) +
                                    " --pattern-name 'Hash sign & 3 digits' --base 'Round " +
                                    std::to_string(round) + "' --mode all --yes"),
                   [&] { return namedThisRound(round) >= goal; });

    std::set<std::string> seen;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(Photos())) {
      ++files;
      const std::string name = entry.path().filename().string();
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      const std::string content = text.str();
      const std::size_t at = content.rfind("photo ");
      ASSERT_NE(at, std::string::npos) << name;
      const std::string tail = content.substr(at);
      ASSERT_EQ(contents.count(tail), 1u) << name;
      EXPECT_TRUE(seen.insert(tail).second) << "two files hold " << tail;
      EXPECT_TRUE(name == contents[tail] || name.rfind("Round ", 0) == 0) << name;
    }
    const int thisRound = namedThisRound(round);
    if (thisRound > 0 && thisRound < kPhotos) ++partial;
    EXPECT_EQ(files, kPhotos) << "round " << round;
    EXPECT_EQ(static_cast<int>(seen.size()), kPhotos);
  }
  EXPECT_GT(partial, 0) << "no run was stopped half-way";
  RecordProperty("stoppedHalfWay", partial);
}

}  // namespace
}  // namespace lumatag
