// The hive file store: persistence, two programs at once, damaged files, and crashes in the middle
// of a save.
#include "platform/linux/HiveRegistryStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/fake/ScriptedMessagePresenter.h"
#include "platform/linux/HiveFormat.h"
#include "ports/SettingsRecords.h"
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

RegistryError SetDword(RegistryStore& store, RegistryKey key, std::u16string_view name,
                       std::uint32_t value) {
  return store.SetValue(key, name, REG_DWORD, &value, 4);
}

// The DWORD value, or -1 when it cannot be read.
long long GetDword(RegistryStore& store, RegistryKey key, std::u16string_view name) {
  std::uint32_t value = 0;
  std::uint32_t size = 4;
  std::uint32_t type = 0;
  if (store.QueryValue(key, name, &type, &value, &size) != ERROR_SUCCESS || type != REG_DWORD) {
    return -1;
  }
  return value;
}

std::vector<std::string> BrokenCopies(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name.find(".broken-") != std::string::npos) names.push_back(entry.path().string());
  }
  return names;
}

class HiveStoreTest : public ::testing::Test {
 protected:
  std::string Hive() const { return dir.File("Lumatag/settings.reg"); }
  TempDir dir;
};

TEST_F(HiveStoreTest, DefaultPathFollowsXdgConfigHome) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldHome = std::getenv("HOME");
  const std::string savedConfig = oldConfig != nullptr ? oldConfig : "";
  const std::string savedHome = oldHome != nullptr ? oldHome : "";
  setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  EXPECT_EQ(HiveRegistryStore::DefaultPath(), dir.path() + "/Lumatag/settings.reg");
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(HiveRegistryStore::DefaultPath(), "/home/someone/.config/Lumatag/settings.reg");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(HiveRegistryStore::DefaultPath(), "/home/someone/.config/Lumatag/settings.reg");
  if (oldConfig != nullptr) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  if (oldHome != nullptr) setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(HiveStoreTest, ChangesReachTheFileAndTheNextProgram) {
  {
    HiveRegistryStore store(Hive());
    RegistryKey key = kNoRegistryKey;
    // Reading alone creates nothing.
    EXPECT_EQ(store.OpenKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(Hive()));
    ASSERT_EQ(store.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(store, key, u"Status Display", 1), ERROR_SUCCESS);
    store.CloseKey(key);
  }
  EXPECT_EQ(std::filesystem::status(Hive()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_NE(ReadFile(Hive()).find("[HKEY_CURRENT_USER\\Software\\Lumatag]\n"
                                  "\"Status Display\"=dword:00000001\n"),
            std::string::npos);
  HiveRegistryStore again(Hive());
  RegistryKey key = kNoRegistryKey;
  ASSERT_EQ(again.OpenKey(kCurrentUserKey, u"software\\lumatag", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(again, key, u"status display"), 1);
}

TEST_F(HiveStoreTest, TwoProgramsKeepEachOthersValues) {
  HiveRegistryStore first(Hive());
  HiveRegistryStore second(Hive());
  RegistryKey a = kNoRegistryKey;
  RegistryKey b = kNoRegistryKey;
  ASSERT_EQ(first.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &a), ERROR_SUCCESS);
  ASSERT_EQ(second.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &b), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(second, b, u"one"), -1);  // second has read the file now
  EXPECT_EQ(SetDword(first, a, u"one", 1), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(second, b, u"two", 2), ERROR_SUCCESS);
  second.BeginUpdate();
  EXPECT_EQ(SetDword(second, b, u"three", 3), ERROR_SUCCESS);
  EXPECT_EQ(second.EndUpdate(), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(first, a, u"two"), 2);
  EXPECT_EQ(GetDword(first, a, u"three"), 3);
  EXPECT_EQ(first.DeleteKeyTree(kCurrentUserKey, u"Software"), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(second, b, u"four", 4), ERROR_KEY_DELETED);
  first.CloseKey(a);
  second.CloseKey(b);
}

TEST_F(HiveStoreTest, ABatchWritesOnceAtItsEnd) {
  HiveRegistryStore store(Hive());
  RegistryKey key = kNoRegistryKey;
  store.BeginUpdate();
  ASSERT_EQ(store.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(store, key, u"a", 1), ERROR_SUCCESS);
  EXPECT_FALSE(std::filesystem::exists(Hive()));
  EXPECT_EQ(GetDword(store, key, u"a"), 1);
  EXPECT_EQ(store.EndUpdate(), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(Hive()));
  EXPECT_EQ(store.EndUpdate(), ERROR_INVALID_PARAMETER);
  store.CloseKey(key);
}

TEST_F(HiveStoreTest, DamagedFileIsKeptAsideAndItsReadablePartsStay) {
  const std::string damaged =
      "Lumatag Settings Hive 1\n[HKEY_CURRENT_USER\\Software\\Lumatag]\n"
      "\"Show File Preview\"=dword:00000000\n\"Image Folder\"=\"/photos\n";
  WriteFile(Hive(), damaged);
  HiveRegistryStore store(Hive());
  RegistryKey key = kNoRegistryKey;
  ASSERT_EQ(store.OpenKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(store, key, u"Show File Preview"), 0);
  std::u16string backup;
  ASSERT_TRUE(store.TakeRecoveryNotice(&backup));
  EXPECT_FALSE(store.TakeRecoveryNotice(&backup));
  const std::vector<std::string> copies = BrokenCopies(dir);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(Utf8ToUtf16(copies[0]), backup);
  EXPECT_EQ(ReadFile(copies[0]), damaged);
  // The file now holds what could be read, and reads without damage.
  HiveParseReport report;
  ParseHive(ReadFile(Hive()), &report);
  EXPECT_FALSE(report.Damaged());
  HiveRegistryStore next(Hive());
  RegistryKey other = kNoRegistryKey;
  ASSERT_EQ(next.OpenKey(kCurrentUserKey, u"Software\\Lumatag", &other), ERROR_SUCCESS);
  EXPECT_FALSE(next.TakeRecoveryNotice(nullptr));
  store.CloseKey(key);
  next.CloseKey(other);
}

TEST_F(HiveStoreTest, UnreadableFileIsNeverOverwritten) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  WriteFile(Hive(), "Lumatag Settings Hive 1\n");
  chmod(Hive().c_str(), 0);
  HiveRegistryStore store(Hive());
  RegistryKey key = kNoRegistryKey;
  EXPECT_EQ(store.CreateKey(kCurrentUserKey, u"Software", &key), ERROR_ACCESS_DENIED);
  chmod(Hive().c_str(), 0600);
  EXPECT_EQ(ReadFile(Hive()), "Lumatag Settings Hive 1\n");
}

TEST_F(HiveStoreTest, AHiveThatCannotBeReadFailsChangesAndStaysInPlace) {
  // A folder where the file should be: it opens but cannot be read.
  std::filesystem::create_directories(Hive());
  HiveRegistryStore store(Hive());
  RegistryKey key = kNoRegistryKey;
  EXPECT_EQ(store.CreateKey(kCurrentUserKey, u"Software", &key), ERROR_CANTREAD);
  EXPECT_EQ(store.OpenKey(kCurrentUserKey, u"Software", &key), ERROR_CANTREAD);
  store.BeginUpdate();
  EXPECT_EQ(store.CreateKey(kCurrentUserKey, u"Software", &key), ERROR_CANTREAD);
  EXPECT_EQ(store.EndUpdate(), ERROR_CANTREAD);
  EXPECT_TRUE(std::filesystem::is_directory(Hive()));
  EXPECT_TRUE(BrokenCopies(dir).empty());
}

// The settings groups over the hive: a first start writes the file once per group; a second start
// reads it without writing; a hand-edited value of the wrong type stays as it was.
TEST_F(HiveStoreTest, SettingsGroupsOverTheHive) {
  ScriptedMessagePresenter presenter;
  AppContext context;
  context.presenter = &presenter;
  {
    HiveRegistryStore registry(Hive());
    SettingsStore store(registry);
    WindowSettings window;
    NamingSettings naming;
    bool changed = false;
    EXPECT_OK(LoadWindowSettings(store, context, window, &changed));
    EXPECT_OK(LoadNamingSettings(store, context, naming, nullptr, &changed));
    EXPECT_TRUE(changed);
  }
  std::string text = ReadFile(Hive());
  EXPECT_NE(text.find("\"File Navigation Mode\"=dword:00000001\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\\Lumatag\\Image File Extensions]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\\Lumatag\\Image File Patterns]\n"), std::string::npos) << text;

  const std::string from = "\"File Navigation Mode\"=dword:00000001";
  text.replace(text.find(from), from.size(), "\"File Navigation Mode\"=\"2\"");
  WriteFile(Hive(), text);
  struct stat before;
  stat(Hive().c_str(), &before);
  {
    HiveRegistryStore registry(Hive());
    SettingsStore store(registry);
    WindowSettings window;
    NamingSettings naming;
    bool changed = false;
    EXPECT_OK(LoadWindowSettings(store, context, window, &changed));
    EXPECT_FALSE(changed);
    EXPECT_OK(LoadNamingSettings(store, context, naming, nullptr, &changed));
    EXPECT_TRUE(changed);  // the navigation mode was unusable
    EXPECT_EQ(naming.fileNavigationMode, 1u);
  }
  struct stat after;
  stat(Hive().c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);  // nothing was written
  EXPECT_EQ(ReadFile(Hive()), text);
  EXPECT_TRUE(presenter.shown.empty());
}

// A program killed at any moment of repeated saves leaves either the old or the new file: each
// save writes the same counter into two values and a long text, so a mixture would show.
TEST_F(HiveStoreTest, KillingASavingProgramLeavesAValidHive) {
  std::mt19937 random(20261206);
  long long lastCounter = -1;
  for (int round = 0; round < 6; ++round) {
    struct stat before {};
    stat(Hive().c_str(), &before);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HiveRegistryStore store(Hive());
      RegistryKey key = kNoRegistryKey;
      if (store.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &key) != ERROR_SUCCESS) _exit(3);
      std::uint32_t counter = static_cast<std::uint32_t>(GetDword(store, key, u"first") + 1);
      const std::u16string filler(2000, u'x');
      for (;; ++counter) {
        store.BeginUpdate();
        SetDword(store, key, u"first", counter);
        store.SetValue(key, u"filler", REG_BINARY, filler.data(),
                       static_cast<std::uint32_t>(filler.size() * 2));
        SetDword(store, key, u"second", counter);
        if (store.EndUpdate() != ERROR_SUCCESS) _exit(4);
      }
    }
    // Each round lets the child save at least once (every save puts a new file in place), however
    // slowly a loaded machine runs it, before a kill at a random moment.
    for (int wait = 0; wait < 1000; ++wait) {
      struct stat now {};
      if (stat(Hive().c_str(), &now) == 0 && now.st_ino != before.st_ino) break;
      usleep(10000);
    }
    usleep(static_cast<useconds_t>(20000 + random() % 60000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving program stopped on its own";

    HiveParseReport report;
    ParseHive(ReadFile(Hive()), &report);
    ASSERT_FALSE(report.Damaged()) << "round " << round;
    HiveRegistryStore store(Hive());
    RegistryKey key = kNoRegistryKey;
    ASSERT_EQ(store.OpenKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_SUCCESS);
    const long long first = GetDword(store, key, u"first");
    EXPECT_EQ(first, GetDword(store, key, u"second"));
    EXPECT_GE(first, lastCounter);
    lastCounter = first;
    EXPECT_FALSE(store.TakeRecoveryNotice(nullptr));
    store.CloseKey(key);
  }
  EXPECT_GT(lastCounter, 0);
  EXPECT_TRUE(BrokenCopies(dir).empty());
}

// Programs changing values at the same time lose none of them.
TEST_F(HiveStoreTest, ConcurrentProgramsLoseNoValue) {
  constexpr int kPrograms = 3;
  constexpr int kValues = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kPrograms; ++p) {
    struct stat before {};
    stat(Hive().c_str(), &before);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HiveRegistryStore store(Hive());
      RegistryKey key = kNoRegistryKey;
      if (store.CreateKey(kCurrentUserKey, u"Software\\Lumatag", &key) != ERROR_SUCCESS) _exit(3);
      for (int v = 0; v < kValues; ++v) {
        const std::string name = "p" + std::to_string(p) + "v" + std::to_string(v);
        if (SetDword(store, key, Utf8ToUtf16(name), static_cast<std::uint32_t>(v)) !=
            ERROR_SUCCESS) {
          _exit(4);
        }
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  HiveRegistryStore store(Hive());
  RegistryKey key = kNoRegistryKey;
  ASSERT_EQ(store.OpenKey(kCurrentUserKey, u"Software\\Lumatag", &key), ERROR_SUCCESS);
  RegistryKeyInfo info;
  ASSERT_EQ(store.QueryInfoKey(key, &info), ERROR_SUCCESS);
  EXPECT_EQ(info.valueCount, static_cast<std::uint32_t>(kPrograms * kValues));
  store.CloseKey(key);
}

}  // namespace
}  // namespace lumatag
