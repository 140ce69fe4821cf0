// lumatag-cli name, match and classify, and the quick pass of metadata: output contracts, with
// settings in a folder of the test's own.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "platform/linux/HiveRegistryStore.h"
#include "ports/SettingsStore.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

using photo::ByteOrder;
using photo::Ifd;
using photo::PhotoBuilder;

class NamingCliTest : public testing::Test {
 protected:
  CliRun Cli(const std::vector<std::string>& arguments) {
    return RunCli(ShellArguments(arguments), "XDG_CONFIG_HOME=" + ShellQuoted(config_.path()));
  }

  void StorePattern(std::u16string_view name, std::u16string_view definition) {
    SettingsKey main;
    SettingsKey patterns;
    SettingsKey key;
    ASSERT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
    ASSERT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns));
    ASSERT_OK(store_.CreateSettingsKey(&patterns, name, &key));
    ASSERT_OK(store_.SetString(key, u"Definition", definition));
  }
  void StoreExtensions(std::initializer_list<std::u16string_view> extensions) {
    SettingsKey main;
    SettingsKey list;
    ASSERT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
    ASSERT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_EXTENSIONS, &list));
    for (std::u16string_view extension : extensions) {
      ASSERT_OK(store_.SetDword(list, extension, 1));
    }
  }

  // A photo taken on 2012-12-28 with an exposure of 1/60 and a copyright that holds a slash.
  std::string WritePhoto(const std::string& name) {
    PhotoBuilder photo(ByteOrder::kIntel);
    photo.Ascii(Ifd::kPrimary, 0x8298, "(c) Kim/Lee")
        .Ascii(Ifd::kPrimary, 0x010F, "NIKON")
        .Rational(Ifd::kExif, 0x829A, {{1, 60}})
        .Ascii(Ifd::kExif, 0x9003, "2012:12:28 12:09:32");
    const std::string path = files_.File(name);
    EXPECT_TRUE(photo::WriteFile(path, photo.Jpeg()));
    return path;
  }

  TempDir config_;
  TempDir files_;
  HiveRegistryStore registry_{config_.path() + "/Lumatag/settings.reg"};
  SettingsStore store_{registry_};
};

TEST_F(NamingCliTest, NamePrintsTheGeneratedName) {
  struct Case {
    std::vector<std::string> arguments;
    std::string out;
  };
  const Case cases[] = {
      {{"--pattern", "[name] #[001]", "--base", "Trip", "--number", "7"}, "Trip #007\n"},
      {{"--pattern", "[name];[name] ([2])", "--base", "Trip", "--first"}, "Trip\n"},
      {{"--pattern", "[name];[name] ([2])", "--base", "Trip", "--number", "3"}, "Trip (3)\n"},
      {{"--pattern-name", "hash sign & 3 digits", "--base", "Trip", "--number", "9"},
       "Trip #009\n"},
      // The sample photo: "IMG_1234.JPG", taken 2012-12-28, 10/600 s.
      {{"--pattern", "[name:orig] [1:orig] [metadata:ExposureTime] [date \"yyyy-MM-dd\"]", "--base",
        "x"},
       "IMG_1234 1234 1-60 2012-12-28\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"name"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CliRun run = Cli(arguments);
    EXPECT_EQ(run.status, 0) << c.arguments[1];
    EXPECT_EQ(run.out, c.out) << c.arguments[1];
  }
  EXPECT_FALSE(std::ifstream(config_.path() + "/Lumatag/settings.reg").good());
}

TEST_F(NamingCliTest, NameReadsThePhotoFile) {
  const std::string camera = WritePhoto("DSC_0042.JPG");
  CliRun run = Cli({"name", "--pattern",
                    "[name] [name:orig] [1:orig] ([metadata:Copyright]) [metadata:ExposureTime] "
                    "[date \"yyyy-MM-dd\"] [metadata:Artist]",
                    "--base", "Trip", camera});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Trip DSC_0042 42 ((c) Kim_Lee) 1-60 2012-12-28 --\n");
  // A named photo: its original name is not known, the sequence number stands in.
  const std::string named = WritePhoto("Trip #005.JPG");
  run = Cli({"name", "--pattern", "[name:orig] [1:orig]", "--base", "x", "--number", "6", named});
  EXPECT_EQ(run.out, "-- 6\n");
  run = Cli({"name", "--pattern", "[name]", "--base", "x", files_.File("missing.JPG")});
  EXPECT_EQ(run.status, 1);
}

TEST_F(NamingCliTest, NameFailures) {
  CliRun run = Cli({"name", "--pattern", "[nam]", "--base", "x"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("Error: Position ", 0), 0u);
  EXPECT_EQ(Cli({"name", "--pattern-name", "No such pattern", "--base", "x"}).status, 1);
  EXPECT_EQ(Cli({"name", "--pattern", "[name]"}).status, 2);
  EXPECT_EQ(Cli({"name", "--base", "x"}).status, 2);
  EXPECT_EQ(Cli({"name", "--pattern", "[name]", "--base", "x", "--number", "-1"}).status, 2);
  EXPECT_EQ(Cli({"name", "--pattern", "[name]", "--base", "x", "a", "b"}).status, 2);
}

std::string MatchLines(bool matched, int rank, int cost, int start, int length, unsigned number) {
  return std::string(matched ? "matched" : "no match") + "\nrank\t" + std::to_string(rank) +
         "\ncost\t" + std::to_string(cost) + "\nbase start\t" + std::to_string(start) +
         "\nbase length\t" + std::to_string(length) + "\nnumber\t" + std::to_string(number) + "\n";
}

TEST_F(NamingCliTest, MatchPrintsTheOutcome) {
  struct Case {
    std::string pattern;
    std::string name;
    std::string out;
  };
  const Case cases[] = {
      {"[name] #[001]", "Vacation #012.jpg", MatchLines(true, 3, 0, 0, 8, 12)},
      {"[name] #[001]", "Vacation #12.jpg", MatchLines(false, 0, 0, 0, 0, 0)},
      {"[name];[name] ([2])", "Trip (7).jpg", MatchLines(true, 4, 0, 0, 4, 7)},
      {"x [name] copy [001]", "X Trip COPY 001.jpg", MatchLines(true, 4, 0, 2, 4, 1)},
  };
  for (const Case& c : cases) {
    const CliRun run = Cli({"match", "--pattern", c.pattern, c.name});
    EXPECT_EQ(run.status, 0) << c.name;
    EXPECT_EQ(run.out, c.out) << c.name;
  }
}

TEST_F(NamingCliTest, MatchUsesThePhotoFileAndTheAutomaticPattern) {
  const std::string photo = WritePhoto("DSC_0042.JPG");
  CliRun run = Cli({"match", "--pattern", "[name] ([metadata:ExposureTime]) [date \"yyyy\"]",
                    "Trip (1-60) 2012.JPG", photo});
  EXPECT_EQ(run.out, MatchLines(true, 5, 0, 0, 4, 0));
  run = Cli({"match", "--pattern", "[name] ([metadata:ExposureTime])", "Trip (1-60).JPG"});
  EXPECT_EQ(run.out, MatchLines(false, 0, 0, 0, 0, 0));

  run = Cli({"match", "--pattern-name", "Automatic", "IMG_0001.JPG"});
  EXPECT_EQ(run.out, MatchLines(true, 2, 0, 0, 0, 1));
  run = Cli({"match", "--pattern-name", "Automatic", "IMG_0001.PNG"});
  EXPECT_EQ(run.out, MatchLines(false, 0, 0, 0, 0, 0));
  StoreExtensions({u"PNG"});
  run = Cli({"match", "--pattern-name", "Automatic", "IMG_0001.PNG"});
  EXPECT_EQ(run.out, MatchLines(true, 2, 0, 0, 0, 1));
  run = Cli({"match", "--pattern-name", "Automatic", "IMG_0001.JPG"});
  EXPECT_EQ(run.out, MatchLines(false, 0, 0, 0, 0, 0));
}

TEST_F(NamingCliTest, ClassifyPrintsOneLinePerName) {
  CliRun run = Cli({"classify", "IMG_1234.JPG", "_RIMG123.JPG", "Trip #007.JPG", "Trip (7).JPG",
                    "holiday.JPG", "IMG_1234.PNG"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "unnamed\tAutomatic\t\t1234\n"
            "unnamed\tAutomatic\t\t123\n"
            "named\tHash sign & 3 digits\tTrip\t7\n"
            "named\t2nd+ has digits in parentheses\tTrip\t7\n"
            "named\t2nd+ has digits in parentheses\tholiday\t0\n"
            "named\t2nd+ has digits in parentheses\tIMG_1234\t0\n");

  // Stored patterns take part; one without a base name is taken at once.
  StorePattern(u"Camera numbers", u"IMG_[0001]");
  StorePattern(u"Dashes", u"[name] - [001]");
  run = Cli({"classify", "IMG_1234.JPG", "Trip - 004.JPG"});
  EXPECT_EQ(run.out,
            "named\tCamera numbers\t\t1234\n"
            "named\tDashes\tTrip\t4\n");
  EXPECT_EQ(Cli({"classify"}).status, 2);
}

TEST_F(NamingCliTest, QuickMetadataPassReadsTheTagsOfStoredPatterns) {
  const std::string photo = WritePhoto("IMG_0003.JPG");
  CliRun run = Cli({"metadata", "--quick", photo});
  EXPECT_EQ(run.out, "# " + photo + "\n" +
                         "0x8298\tCopyright\t2\t12\t(c) Kim/Lee\n"
                         "0x829a\tExposureTime\t5\t1\t1/60\n"
                         "0x9003\tDateTimeOriginal\t2\t20\t2012:12:28 12:09:32\n");
  StorePattern(u"Camera make", u"[name] [metadata:Make]");
  run = Cli({"metadata", "--quick", photo});
  EXPECT_EQ(run.out, "# " + photo + "\n" +
                         "0x010f\tMake\t2\t6\tNIKON\n"
                         "0x8298\tCopyright\t2\t12\t(c) Kim/Lee\n"
                         "0x829a\tExposureTime\t5\t1\t1/60\n"
                         "0x9003\tDateTimeOriginal\t2\t20\t2012:12:28 12:09:32\n");
}

}  // namespace
}  // namespace lumatag
