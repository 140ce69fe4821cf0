#include "platform/linux/LocaleFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

struct WantedCase {
  const char* lcAll;
  const char* lcMessages;
  const char* lang;
  std::vector<std::string> wanted;
};

TEST(WantedLocalesTest, FollowsThePosixOrderAndStripsCodeSetAndModifier) {
  const WantedCase cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", {"de_DE", "de"}},
      {nullptr, nullptr, "de", {"de"}},
      {nullptr, nullptr, "de_AT@euro", {"de_AT", "de"}},
      {"", "de_CH.UTF-8", "fr_FR.UTF-8", {"de_CH", "de"}},
      {"de_DE.UTF-8", "fr_FR", "fr_FR", {"de_DE", "de"}},
      {"C", nullptr, "de_DE.UTF-8", {}},  // LC_ALL wins even when it asks for English
      {nullptr, nullptr, "C.UTF-8", {}},
      {nullptr, nullptr, "POSIX", {}},
      {nullptr, nullptr, "en_GB.UTF-8", {}},
      {nullptr, nullptr, nullptr, {}},
      {nullptr, nullptr, "", {}},
      {nullptr, nullptr, "../../etc", {}},  // never a path outside the locale folders
      {nullptr, nullptr, "de/../x", {}},
  };
  for (const WantedCase& c : cases) {
    EXPECT_EQ(WantedLocales(c.lcAll, c.lcMessages, c.lang), c.wanted)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

class LoadLocaleStringTableTest : public ::testing::Test {
 protected:
  // Each test has a folder of its own: the tests of this file run in parallel processes.
  void SetUp() override {
    root_ = temp_.path();
    std::filesystem::create_directories(root_ / "beside");
    std::filesystem::create_directories(root_ / "share");
  }
  void Write(const std::string& folder, const std::string& locale, const std::string& text) {
    std::filesystem::create_directories(root_ / folder / locale);
    std::ofstream(root_ / folder / locale / "strings.txt") << text;
  }
  std::vector<std::string> Folders() const {
    return {(root_ / "beside").string(), (root_ / "share").string()};
  }
  TempDir temp_;
  std::filesystem::path root_;
};

TEST_F(LoadLocaleStringTableTest, TakesTheMostSpecificLocaleFirstAndTheFirstFolderThatHasIt) {
  Write("share", "de", "23150\t\tde-share\n");
  Write("share", "de_AT", "23150\t\tde_AT-share\n");
  Write("beside", "de", "23150\t\tde-beside\n");
  StringModule module;
  EXPECT_EQ(LoadLocaleStringTable({"de_AT", "de"}, Folders(), &module), "de_AT");
  EXPECT_EQ(module.Text(23150), u"de_AT-share");
  EXPECT_EQ(LoadLocaleStringTable({"de_DE", "de"}, Folders(), &module), "de");
  EXPECT_EQ(module.Text(23150), u"de-beside");
}

TEST_F(LoadLocaleStringTableTest, AMissingOrBrokenTableLeavesTheModuleAlone) {
  Write("beside", "de", "not a table line\n");
  StringModule module;
  StringTableError error;
  ASSERT_TRUE(module.LoadText("23150\t\tkept\n", &error));
  EXPECT_EQ(LoadLocaleStringTable({"de"}, Folders(), &module), "");
  EXPECT_EQ(LoadLocaleStringTable({"fr"}, Folders(), &module), "");
  EXPECT_EQ(LoadLocaleStringTable({}, Folders(), &module), "");
  EXPECT_EQ(module.Text(23150), u"kept");
}

TEST(LocaleSearchFoldersTest, BesideTheProgramThenItsShareFolder) {
  const std::vector<std::string> folders = LocaleSearchFolders();
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[1], folders[0] + "/../share/lumatag");
  EXPECT_TRUE(std::filesystem::exists(folders[0]));
}

TEST(LocaleSearchFoldersTest, AHelperInLibexecFindsTheSharedTables) {
  EXPECT_EQ(
      LocaleSearchFoldersFor("/usr/libexec/lumatag"),
      (std::vector<std::string>{"/usr/libexec/lumatag", "/usr/libexec/lumatag/../share/lumatag",
                                "/usr/libexec/lumatag/../../share/lumatag"}));
  EXPECT_EQ(LocaleSearchFoldersFor("/usr/bin"),
            (std::vector<std::string>{"/usr/bin", "/usr/bin/../share/lumatag"}));
  EXPECT_EQ(LocaleSearchFoldersFor("/opt/libexec/lumatagx").size(), 2u);
  EXPECT_TRUE(LocaleSearchFoldersFor("").empty());
}

}  // namespace
}  // namespace lumatag
