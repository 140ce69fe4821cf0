// The hive file store against files planted or damaged by someone else: links at the names it
// writes, special files at the name it reads, settings nested beyond the registry's limits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/RegistryTree.h"
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

// "[HKEY_CURRENT_USER\\k\\k...]" with `depth` keys.
std::string DeepSection(std::size_t depth) {
  std::string line = "[HKEY_CURRENT_USER";
  line.reserve(line.size() + 2 * depth + 2);
  for (std::size_t i = 0; i < depth; ++i) line += "\\k";
  return line + "]\n";
}

TEST(HiveNestingTest, KeysNestAtMostAsDeepAsTheRegistryAllows) {
  struct Case {
    std::size_t depth;
    bool readable;
  };
  for (const Case c :
       {Case{kMaxRegistryDepth, true}, Case{kMaxRegistryDepth + 1, false}, Case{300000, false}}) {
    SCOPED_TRACE(c.depth);
    HiveParseReport report;
    const auto root = ParseHive("Lumatag Settings Hive 1\n" + DeepSection(c.depth) +
                                    "\"v\"=dword:00000001\n[HKEY_CURRENT_USER\\Software]\n"
                                    "\"kept\"=dword:00000002\n",
                                &report);
    // The deep section is damage (and so is its value line, which has no key to go to); the
    // section after it is read.
    EXPECT_EQ(report.badLines, c.readable ? 0 : 2);
    ASSERT_NE(root->FindSubkey(u"Software"), nullptr);
    EXPECT_NE(root->FindSubkey(u"Software")->FindValue(u"kept"), nullptr);
    std::size_t depth = 0;
    for (const RegistryNode* node = root->FindSubkey(u"k"); node != nullptr;
         node = node->subkeys.empty() ? nullptr : node->subkeys[0].get()) {
      ++depth;
    }
    EXPECT_EQ(depth, c.readable ? c.depth : 0);
  }

  // Nor through the store's operations.
  RegistryTreeStore store;
  RegistryKey key = kNoRegistryKey;
  std::u16string path = u"k";
  for (std::size_t i = 1; i < kMaxRegistryDepth; ++i) path += u"\\k";
  ASSERT_EQ(store.CreateKey(kCurrentUserKey, path, &key), ERROR_SUCCESS);
  RegistryKey deeper = kNoRegistryKey;
  EXPECT_EQ(store.CreateKey(key, u"one more", &deeper), ERROR_INVALID_PARAMETER);
  store.CloseKey(key);
}

TEST(HiveNestingTest, DeepTreesAreCopiedAndDestroyedWithoutRecursion) {
  // Deep enough that one stack frame per level would overflow the stack.
  auto root = std::make_unique<RegistryNode>();
  RegistryNode* node = root.get();
  for (int i = 0; i < 300000; ++i) node = node->AddSubkey(u"k");
  node->SetValue(u"deepest", REG_DWORD, {1, 0, 0, 0});
  auto copy = root->Clone();
  node = copy.get();
  while (!node->subkeys.empty()) node = node->subkeys[0].get();
  EXPECT_NE(node->FindValue(u"deepest"), nullptr);
  root.reset();
  copy.reset();
}

TEST_F(HiveHostileFilesTest, DeepNestingIsDamageAndNeverGrowsTheFile) {
  const std::string good =
      "Lumatag Settings Hive 1\n[HKEY_CURRENT_USER\\Software\\Lumatag]\n"
      "\"Status Display\"=dword:00000000\n";
  for (const std::size_t depth : {std::size_t{20000}, std::size_t{300000}}) {
    SCOPED_TRACE(depth);
    // Deep keys spelled out level by level, as a writer of every key would, and one bad line.
    std::string text = good;
    std::string path = "[HKEY_CURRENT_USER\\Deep";
    for (std::size_t i = 0; i < 600; ++i) {
      path += "\\level";
      text += path + "]\n";
    }
    text += DeepSection(depth) + "this line is damaged\n";
    WriteFile(Hive(), text);
    {
      HiveRegistryStore store(Hive());
      RegistryKey key = kNoRegistryKey;
      ASSERT_EQ(store.OpenKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_SUCCESS);
      std::uint32_t value = 9;
      std::uint32_t size = 4;
      EXPECT_EQ(store.QueryValue(key, u"Status Display", nullptr, &value, &size), ERROR_SUCCESS);
      EXPECT_EQ(value, 0u);
      EXPECT_TRUE(store.TakeRecoveryNotice(nullptr));
      store.CloseKey(key);
    }
    // What was written in its place is no larger than what was read, and reads without damage.
    const std::string written = ReadFile(Hive());
    EXPECT_LE(written.size(), text.size());
    HiveParseReport report;
    const auto root = ParseHive(written, &report);
    EXPECT_FALSE(report.Damaged());
    ASSERT_NE(root->FindSubkey(u"Software"), nullptr);
    ASSERT_NE(root->FindSubkey(u"Deep"), nullptr);
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("Lumatag"))) {
      if (entry.path().filename().string().find(".broken-") != std::string::npos) {
        std::filesystem::remove(entry.path());
      }
    }
  }
}

}  // namespace
}  // namespace lumatag
