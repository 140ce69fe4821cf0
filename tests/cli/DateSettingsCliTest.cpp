// lumatag-cli date and settings, run as a script would, against a settings hive in a temporary
// folder (never the user's own).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "support/TestSupport.h"

namespace lumatag {
namespace {

struct DateCase {
  std::string environment;
  std::string arguments;
  std::string out;
  int status;
};

class CliDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(CliDateTest, PrintsTheRenderingOrTheStatus) {
  const CliRun run = RunCli(GetParam().arguments, GetParam().environment);
  EXPECT_EQ(run.out, GetParam().out);
  EXPECT_EQ(run.status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliDateTest,
    ::testing::Values(
        DateCase{"-u LC_ALL -u LC_TIME -u LANG", "date M-d-yy 2012-12-28T13:05:00", "12-28-12\n",
                 0},
        DateCase{"LC_ALL=C", "date \"h-mm tt\" 2012-12-28T13:05:00", "1-05 PM\n", 0},
        DateCase{"LC_ALL=de_DE.UTF-8", "date MMMM 2012-12-28T00:00:00", "Dezember\n", 0},
        DateCase{"LC_ALL=de_DE.UTF-8", "date MMMM 2012-12-28T00:00:00 --locale en-US", "December\n",
                 0},
        DateCase{"LANG=C", "date --locale de-DE \"dddd 'it''s'\" 2012-12-28T00:00:00",
                 "Freitag it's\n", 0},
        DateCase{"LANG=C", "date \"'open\" 2012-12-28T00:00:00", "0x8000ffff\n", 1},
        DateCase{"LANG=C", "date d 2013-02-29T00:00:00", "0x80070057\n", 1},
        DateCase{"LANG=C", "date d 2013-02-28T00:00:00 --locale xx-YY", "0x80070057\n", 1},
        DateCase{"LANG=C", "date d 2013-02-28", "", 2}, DateCase{"LANG=C", "date d", "", 2},
        DateCase{"LANG=C", "date d 2013-02-28T00:00:00 --locale", "", 2}),
    LT_CASE_NAMES);

TEST(CliSettingsTest, PrintsTheKeyTreeOfTheHive) {
  TempDir dir;
  const std::string environment = "XDG_CONFIG_HOME=" + dir.path();
  // Nothing saved yet: nothing to print, and nothing is created.
  CliRun run = RunCli("settings", environment);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("Lumatag")));

  std::filesystem::create_directories(dir.File("Lumatag"));
  std::ofstream(dir.File("Lumatag/settings.reg"))
      << "Lumatag Settings Hive 1\n\n"
         "[HKEY_CURRENT_USER\\Software\\Other]\n\"x\"=dword:00000001\n\n"
         "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag]\n"
         "\"App Window Left\"=dword:80000000\n"
         "\"Image Folder\"=\"/home/ann/Pictures\"\n"
         "\"Update Check Last\"=hex:00,80,3e,d5,de,b1,9d,01\n"
         "\"Odd\"=hex(2):25,00,48,00,00,00\n"
         "@=\"tab\\u0009here\"\n\n"
         "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\Image File Extensions]\n"
         "\"JPG\"=dword:00000001\n\n"
         "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\Image File Patterns]\n\n"
         "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\Image File Patterns\\Mine]\n"
         "\"Definition\"=\"[name] #[001]\"\n";
  run = RunCli("settings", environment);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\n"
            "  App Window Left\tREG_DWORD\t0x80000000 (2147483648)\n"
            "  Image Folder\tREG_SZ\t/home/ann/Pictures\n"
            "  Update Check Last\tREG_BINARY\t00 80 3e d5 de b1 9d 01\n"
            "  Odd\tREG_EXPAND_SZ\t%H\n"
            "  (Default)\tREG_SZ\ttab\\there\n"
            "HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\Image File Extensions\n"
            "  JPG\tREG_DWORD\t0x00000001 (1)\n"
            "HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\Image File Patterns\n"
            "HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\Image File Patterns\\Mine\n"
            "  Definition\tREG_SZ\t[name] #[001]\n");
  EXPECT_NE(RunCli("settings extra", environment).status, 0);
}

}  // namespace
}  // namespace lumatag
