// lumatag-cli renaming in a folder that holds more than photos, or that refuses the renames: names
// held outside the list are passed, and a batch that cannot rename says why and fails.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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
    builder.Ascii(photo::Ifd::kExif, 0x9003, "2013:05:0" + tag + " 09:00:00");
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
  CliRun Run(const std::string& arguments) const {
    return RunShell(Command(arguments) + " </dev/null 2>" + ShellQuoted(home_.File("stderr")));
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

}  // namespace
}  // namespace lumatag
