// lumatag-cli delete with a trash that cannot take the photo: it ends with the program's message
// and a failure, the photo stays, and it never waits for ever.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliRunner.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

namespace fs = std::filesystem;

TEST(TrashCliTest, DeleteFailsWithTheProgramsMessageWhenTheTrashCannotTakeThePhoto) {
  TempDir home;
  fs::create_directories(home.File("config"));
  fs::create_directories(home.File("photos"));
  fs::create_directories(home.File("data/Trash/files"));
  // The trash's info folder is a file: nothing can be created in it.
  std::ofstream(home.File("data/Trash/info")) << "not a folder";
  std::ofstream(home.File("photos/IMG_0001.JPG"), std::ios::binary) << "photo";

  // `timeout` ends a program that spins (status 124), so the test fails instead of hanging.
  const CliRun run =
      RunShell("printf 'y\\n' | XDG_CONFIG_HOME=" + ShellQuoted(home.File("config")) +
               " XDG_DATA_HOME=" + ShellQuoted(home.File("data")) + " timeout 60 " + LUMATAG_CLI +
               " delete " + ShellQuoted(home.File("photos")) + " IMG_0001.JPG 2>" +
               ShellQuoted(home.File("stderr")));
  EXPECT_EQ(run.status, 1);
  std::ifstream in(home.File("stderr"));
  std::ostringstream errors;
  errors << in.rdbuf();
  EXPECT_NE(errors.str().find("The photo cannot be deleted."), std::string::npos) << errors.str();
  std::ifstream photo(home.File("photos/IMG_0001.JPG"), std::ios::binary);
  std::ostringstream content;
  content << photo.rdbuf();
  EXPECT_EQ(content.str(), "photo");
}

}  // namespace
}  // namespace lumatag
