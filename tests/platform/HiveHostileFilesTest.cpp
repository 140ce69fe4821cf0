// The hive file store against files planted or damaged by someone else: links at the names it
// writes, special files at the name it reads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/HiveFormat.h"
#include "platform/linux/HiveRegistryStore.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

bool IsLink(const std::string& path) {
  return std::filesystem::is_symlink(std::filesystem::symlink_status(path));
}

class HiveHostileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir.File("Lumatag")); }
  std::string Hive() const { return dir.File("Lumatag/settings.reg"); }

  // Sets one DWORD in a fresh store over the hive.
  RegistryError SetOne(std::uint32_t value) {
    HiveRegistryStore store(Hive());
    RegistryKey key = kNoRegistryKey;
    RegistryError error = store.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &key);
    if (error == ERROR_SUCCESS) error = store.SetValue(key, u"Value", REG_DWORD, &value, 4);
    store.CloseKey(key);
    return error;
  }

  TempDir dir;
};

TEST_F(HiveHostileFilesTest, LinksAtTheWorkingNamesAreNeverFollowed) {
  const std::string victim = dir.File("victim.txt");
  WriteFile(victim, "keep me");
  for (const char* planted : {".tmp", ".lock"}) {
    SCOPED_TRACE(planted);
    std::filesystem::remove(Hive() + planted);
    std::filesystem::create_symlink(victim, Hive() + planted);
    const RegistryError error = SetOne(7);
    EXPECT_EQ(ReadFile(victim), "keep me");
    if (std::string(planted) == ".tmp") {
      // The stale name is the writer's own: it goes, and the settings are written.
      EXPECT_EQ(error, ERROR_SUCCESS);
      EXPECT_NE(ReadFile(Hive()).find("\"Value\"=dword:00000007"), std::string::npos);
      EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Hive() + ".tmp")));
    } else {
      EXPECT_NE(error, ERROR_SUCCESS);
      std::filesystem::remove(Hive() + planted);
    }
  }
  // A dangling link at the temporary name creates nothing where it points.
  const std::string nowhere = dir.File("created-elsewhere");
  std::filesystem::create_symlink(nowhere, Hive() + ".tmp");
  EXPECT_EQ(SetOne(8), ERROR_SUCCESS);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

TEST_F(HiveHostileFilesTest, ALinkedSettingsFileIsWrittenThroughOrRefused) {
  // Kept elsewhere and linked in: the link stays, its target gets the new settings.
  const std::string kept = dir.File("dotfiles/settings.reg");
  WriteFile(kept, "Lumatag Settings Hive 1\n");
  std::filesystem::create_symlink(kept, Hive());
  ASSERT_EQ(SetOne(3), ERROR_SUCCESS);
  EXPECT_TRUE(IsLink(Hive()));
  EXPECT_NE(ReadFile(kept).find("\"Value\"=dword:00000003"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(kept + ".tmp"));

  // A link that leads nowhere is refused and left as it is.
  std::filesystem::remove(Hive());
  std::filesystem::create_symlink(dir.File("missing/settings.reg"), Hive());
  EXPECT_NE(SetOne(4), ERROR_SUCCESS);
  EXPECT_TRUE(IsLink(Hive()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(HiveHostileFilesTest, AFifoAtTheSettingsNameNeverBlocks) {
  ASSERT_EQ(mkfifo(Hive().c_str(), 0600), 0);
  HiveRegistryStore store(Hive());
  RegistryKey key = kNoRegistryKey;
  // Opening for reading a FIFO nobody writes to would wait for ever.
  EXPECT_NE(store.OpenKey(kCurrentUserKey, u"Software", &key), ERROR_SUCCESS);
  struct stat info;
  ASSERT_EQ(lstat(Hive().c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

}  // namespace
}  // namespace lumatag
