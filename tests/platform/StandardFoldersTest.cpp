// The pictures folder from the XDG user folders: the configured folder when it exists, else
// $HOME/Pictures; the config folder from XDG_CONFIG_HOME only when that is absolute.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/linux/LinuxStandardFolders.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string Pictures() {
  std::u16string folder;
  EXPECT_OK(LinuxStandardFolders().PicturesFolder(&folder));
  return Utf16ToUtf8(folder);
}

TEST(StandardFoldersTest, PicturesFolderFollowsTheUserDirsFile) {
  TempDir home;
  ScopedEnvironment homeVariable("HOME", home.path() + "/");
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  // No file: the home folder's Pictures, whether it exists or not.
  EXPECT_EQ(Pictures(), home.path() + "/Pictures");

  std::filesystem::create_directories(home.File(".config"));
  std::filesystem::create_directories(home.File("Bilder/2024"));
  const auto write = [](const std::string& folder, const std::string& text) {
    std::ofstream(folder + "/user-dirs.dirs") << "# written by a test\n" << text;
  };
  write(home.File(".config"),
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_PICTURES_DIR=\"$HOME/Bilder/./2024/../\"\n");
  EXPECT_EQ(Pictures(), home.File("Bilder"));
  // An absolute path, unquoted; a folder that does not exist is passed over.
  write(home.File(".config"), "XDG_PICTURES_DIR=" + home.File("Bilder/2024") + "\n");
  EXPECT_EQ(Pictures(), home.File("Bilder/2024"));
  write(home.File(".config"), "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  EXPECT_EQ(Pictures(), home.path() + "/Pictures");

  // XDG_CONFIG_HOME counts only when absolute.
  TempDir elsewhere;
  write(elsewhere.path(), "XDG_PICTURES_DIR=\"" + home.File("Bilder/2024") + "\"\n");
  {
    ScopedEnvironment absolute("XDG_CONFIG_HOME", elsewhere.path());
    EXPECT_EQ(Pictures(), home.File("Bilder/2024"));
  }
  {
    ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(Pictures(), home.path() + "/Pictures");
  }
}

TEST(StandardFoldersTest, CleanAbsolutePathRemovesDotsAndRepeatedSlashes) {
  EXPECT_EQ(CleanAbsolutePath("/home//ann/./Pictures/"), "/home/ann/Pictures");
  EXPECT_EQ(CleanAbsolutePath("/home/ann/../bob/Pictures"), "/home/bob/Pictures");
  EXPECT_EQ(CleanAbsolutePath("/../.."), "/");
  EXPECT_EQ(CleanAbsolutePath("/"), "/");
}

}  // namespace
}  // namespace lumatag
