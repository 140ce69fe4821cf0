// lumatag-cli pattern: the output contract of compile and list.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "platform/linux/HiveRegistryStore.h"
#include "ports/SettingsStore.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

// Runs "lumatag-cli pattern" with `arguments` and `environment` in front.
CliRun RunPattern(const std::vector<std::string>& arguments, const std::string& environment = "") {
  return RunCli("pattern " + ShellArguments(arguments), environment);
}

TEST(PatternCliTest, CompilePrintsTheSummaryAndOneLinePerToken) {
  const CliRun run = RunPattern({"compile", "[name];[name] ([2])"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "ok\nclauses\t2\nseparator\t6\nwords\t30\n"
            "name\tbase\nseparator\nname\tbase\nliteral\t (\nnumber\tauto\t2\t1\nliteral\t)\n");
}

TEST(PatternCliTest, CompileShowsEveryKindOfToken) {
  const CliRun run = RunPattern(
      {"compile", "[date:file \"yyyy\"] [1:orig][[][metadata:Copyright]", "--insertion", "3"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "ok\nclauses\t1\nseparator\t-1\nwords\t31\ninsertion\t18\n"
            "date\tfile\tyyyy\nliteral\t \nnumber\torig\t1\t1\nliteral\t[\nmetadata\t0x8298\n");
}

TEST(PatternCliTest, CompileFailurePrintsThePositionedMessage) {
  CliRun run = RunPattern({"compile", "[date \"H:mm\"]"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Error: Position 9: An invalid character was found in the current context.\n");
  run = RunPattern({"compile", ""});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Error: Position 1: The clause definition cannot be empty.\n");
}

TEST(PatternCliTest, BadArgumentsAreUsageErrors) {
  EXPECT_EQ(RunPattern({}).status, 2);
  EXPECT_EQ(RunPattern({"compile"}).status, 2);
  EXPECT_EQ(RunPattern({"compile", "[name]", "--insertion"}).status, 2);
  EXPECT_EQ(RunPattern({"compile", "[name]", "--insertion", "-1"}).status, 2);
  EXPECT_EQ(RunPattern({"compile", "[name]", "--at", "1"}).status, 2);
}

// Settings in a folder of the test's own, as the program finds them through XDG_CONFIG_HOME.
class PatternListTest : public testing::Test {
 protected:
  void Store(std::u16string_view name, std::u16string_view definition) {
    SettingsKey key;
    ASSERT_OK(store_.CreateSettingsKey(&patterns_, name, &key));
    ASSERT_OK(store_.SetString(key, u"Definition", definition));
  }
  CliRun List() { return RunPattern({"list"}, "XDG_CONFIG_HOME=" + ShellQuoted(config_.path())); }

  TempDir config_;
  HiveRegistryStore registry_{config_.path() + "/Lumatag/settings.reg"};
  SettingsStore store_{registry_};
  SettingsKey patterns_;
};

TEST_F(PatternListTest, WithoutSettingsListsTheBuiltInsAndCreatesNothing) {
  const CliRun run = List();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 16);
  EXPECT_EQ(run.out.rfind("*\t2 digits in parentheses\tb--\t[name] ([01])\n", 0), 0u);
  EXPECT_NE(run.out.find("-\tOriginal sequence number in brackets\tb--\t[name] [[][1:orig][]]\n"),
            std::string::npos);
  EXPECT_FALSE(std::ifstream(config_.path() + "/Lumatag/settings.reg").good());
}

TEST_F(PatternListTest, ListsStoredPatternsWithTheirFlagsAndTheStoredDefault) {
  SettingsKey main;
  ASSERT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
  ASSERT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns_));
  Store(u"Trip", u"[name] - [001]");
  Store(u"hash sign & 3 digits", u"[name]");
  Store(u"Broken", u"x;y;z");
  ASSERT_OK(store_.SetString(patterns_, u"Default Pattern", u"trip"));
  patterns_.Close();
  main.Close();

  const CliRun run = List();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 19);
  EXPECT_NE(run.out.find("-\t2 digits in parentheses\tb--\t[name] ([01])\n"), std::string::npos);
  EXPECT_NE(run.out.find("*\tTrip\t---\t[name] - [001]\n"), std::string::npos);
  EXPECT_NE(run.out.find("-\thash sign & 3 digits #2\t---\t[name]\n"), std::string::npos);
  EXPECT_NE(run.out.find("-\tBroken\t--u\tx;y;z\n"), std::string::npos);
  // No answer on the terminal keeps the pattern that cannot be used.
  SettingsKey again;
  ASSERT_OK(store_.OpenSettingsKey(IDS_REG_KEY_PATH, &again));
  SettingsKey broken;
  EXPECT_OK(store_.OpenSubkey(again, u"Image File Patterns\\Broken", &broken));
}

}  // namespace
}  // namespace lumatag
