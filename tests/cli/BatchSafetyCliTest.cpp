// lumatag-cli renaming in a folder that holds more than photos, that refuses the renames, or that
// another program renames in at the same time: names held outside the list are passed, a batch
// that cannot rename says why and fails, the folder's lock is respected, and nothing is lost.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

namespace fs = std::filesystem;

class BatchSafetyCliTest : public testing::Test {
 protected:
  BatchSafetyCliTest() {
    fs::create_directories(home_.File("config"));
    fs::create_directories(home_.File("data"));
    fs::create_directories(home_.File("photos"));
  }

  std::string Photos() const { return home_.File("photos"); }

  // A photo whose bytes end with `tag`, so that each one can be told apart wherever it went.
  void AddPhoto(const std::string& name, const std::string& tag) {
    photo::PhotoBuilder builder;
    builder.Ascii(photo::Ifd::kExif, 0x9003, "2013:05:01 09:00:00");
    const photo::Bytes bytes = builder.Jpeg();
    std::ofstream(Photos() + "/" + name, std::ios::binary)
        << std::string(bytes.begin(), bytes.end()) << tag;
  }
  std::string TagOf(const std::string& name) const {
    std::ifstream in(Photos() + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    return text.empty() ? "" : text.substr(text.size() - 1);
  }

  // The tags of every file still in the folder or in the trash.
  std::multiset<std::string> Tags() const {
    std::multiset<std::string> tags;
    for (const std::string& folder : {Photos(), home_.File("data") + "/Trash/files"}) {
      if (!fs::exists(folder)) continue;
      for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string text = bytes.str();
        tags.insert(text.size() < 4 ? text : text.substr(text.size() - 4));
      }
    }
    return tags;
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Photos())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Command(const std::string& arguments) const {
    return "XDG_CONFIG_HOME=" + ShellQuoted(home_.File("config")) +
           " XDG_DATA_HOME=" + ShellQuoted(home_.File("data")) + " " + LUMATAG_CLI + " " +
           arguments;
  }
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
  std::string RenameRemaining(const std::string& base) const {
    return "rename-remaining " + ShellQuoted(Photos()) +
           " --pattern-name 'Hash sign & 3 digits' --mode all --yes --base " + ShellQuoted(base);
  }

  TempDir home_;
};

TEST_F(BatchSafetyCliTest, NamesHeldOutsideTheListArePassed) {
  AddPhoto("IMG_0001.JPG", "1");
  AddPhoto("IMG_0002.JPG", "2");
  AddPhoto("IMG_0003.JPG", "3");
  // A folder and a FIFO are never listed as photos, yet hold the names.
  fs::create_directory(Photos() + "/Trip #002.JPG");
  ASSERT_EQ(::mkfifo((Photos() + "/Trip #003.JPG").c_str(), 0600), 0);
  const CliRun run = Run(RenameRemaining("Trip"));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out,
            "IMG_0001.JPG -> Trip #001.JPG\nIMG_0002.JPG -> Trip #004.JPG\n"
            "IMG_0003.JPG -> Trip #005.JPG\n3 photos were renamed.\n");
  EXPECT_TRUE(fs::is_directory(Photos() + "/Trip #002.JPG"));
  EXPECT_TRUE(fs::is_fifo(Photos() + "/Trip #003.JPG"));
  EXPECT_EQ(TagOf("Trip #001.JPG") + TagOf("Trip #004.JPG") + TagOf("Trip #005.JPG"), "123");
}

TEST_F(BatchSafetyCliTest, ABatchThatCannotRenameSaysWhyAndFails) {
  AddPhoto("IMG_0001.JPG", "1");
  AddPhoto("IMG_0002.JPG", "2");
  const std::vector<std::string> before = Files();
  // Over 255 bytes in 130 characters; over 255 characters.
  std::string accented;
  for (int i = 0; i < 130; ++i) accented += "\xc3\xa9";
  for (const std::string& base : {accented, std::string(300, 'x')}) {
    const CliRun run = Run(RenameRemaining(base));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(Stderr().find("too long"), std::string::npos) << Stderr();
    EXPECT_EQ(Stderr().find("invalid character"), std::string::npos) << Stderr();
    EXPECT_EQ(Files(), before);
  }
  // The superuser may write into a read-only folder; there the workflow's own tests stand in.
  if (::geteuid() != 0) {
    fs::permissions(Photos(), fs::perms::owner_write, fs::perm_options::remove);
    const CliRun run = Run(RenameRemaining("Trip"));
    fs::permissions(Photos(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "0 photos were renamed.\n");
    EXPECT_NE(Stderr().find("read-only"), std::string::npos) << Stderr();
    EXPECT_EQ(Files(), before);
  }
}

TEST_F(BatchSafetyCliTest, ARenameRefusesAFolderAnotherProgramIsRenamingIn) {
  AddPhoto("IMG_0001.JPG", "1");
  AddPhoto("IMG_0002.JPG", "2");
  const int fd = ::open(Photos().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  CliRun run = Run(RenameRemaining("Trip"));
  EXPECT_NE(run.status, 0);
  EXPECT_NE(Stderr().find("Another program is renaming photos in this folder"), std::string::npos)
      << Stderr();
  run = Run("rename " + ShellQuoted(Photos()) + " IMG_0001.JPG Beach");
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG"}));
  // A dry run renames nothing and is not kept out.
  run = Run(RenameRemaining("Trip") + " --dry-run");
  EXPECT_EQ(run.status, 0) << Stderr();
  ::close(fd);
  run = Run(RenameRemaining("Trip"));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(Files(), (std::vector<std::string>{"Trip #001.JPG", "Trip #002.JPG"}));
}

TEST_F(BatchSafetyCliTest, TwoProgramsRenamingOneFolderLoseNothing) {
  constexpr int kPhotos = 30;
  for (int i = 1; i <= kPhotos; ++i) {
    char name[32];
    char tag[8];
    std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
    std::snprintf(tag, sizeof tag, "#%03d", i);
    AddPhoto(name, tag);
  }
  const std::multiset<std::string> before = Tags();
  ASSERT_EQ(before.size(), static_cast<std::size_t>(kPhotos));
  // Each program answers "Yes to All" to every question it is asked.
  const std::string loop = "for i in 1 2 3 4 5 6 7 8; do yes a | head -n 100 | " +
                           Command(RenameRemaining("$1")) + " >/dev/null 2>&1; done";
  const CliRun run = RunShell("sh -c " + ShellQuoted(loop) + " - Alpha & sh -c " +
                              ShellQuoted(loop) + " - Beta & wait");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Tags(), before);
}

}  // namespace
}  // namespace lumatag
