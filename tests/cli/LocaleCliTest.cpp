// lumatag-cli in another language: the translated table beside the program is chosen from the
// environment's locale for the texts the commands print; names the program reads stay English.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

class LocaleCliTest : public testing::Test {
 protected:
  LocaleCliTest() {
    std::filesystem::create_directories(home_.File("config"));
    std::filesystem::create_directories(home_.File("photos"));
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG"}) {
      photo::PhotoBuilder builder;
      builder.Ascii(photo::Ifd::kExif, 0x9003, "2013:05:02 10:00:00");
      const photo::Bytes bytes = builder.Jpeg();
      std::ofstream(home_.File("photos") + "/" + name, std::ios::binary)
          << std::string(bytes.begin(), bytes.end());
    }
  }
  CliRun Run(const std::string& arguments, const std::string& locale) const {
    return RunCli(arguments, "XDG_CONFIG_HOME=" + ShellQuoted(home_.File("config")) +
                                 " LC_ALL= LC_MESSAGES= LANG= " + locale);
  }
  TempDir home_;
};

TEST_F(LocaleCliTest, CountsAndPatternNamesFollowTheLocale) {
  struct Case {
    const char* locale;
    const char* counts;
    const char* patternName;
  };
  const Case cases[] = {
      {"LANG=de_DE.UTF-8", "2 Fotos sind noch zu benennen.", "2 Ziffern in Klammern"},
      {"LC_MESSAGES=de_AT", "2 Fotos sind noch zu benennen.", "2 Ziffern in Klammern"},
      {"LC_ALL=de", "2 Fotos sind noch zu benennen.", "2 Ziffern in Klammern"},
      {"LANG=C.UTF-8", "2 photos still to be named.", "2 digits in parentheses"},
      {"LC_ALL=C LANG=de_DE.UTF-8", "2 photos still to be named.", "2 digits in parentheses"},
      {"LANG=fr_FR.UTF-8", "2 photos still to be named.", "2 digits in parentheses"},
  };
  for (const Case& c : cases) {
    const CliRun scan = Run("scan " + ShellQuoted(home_.File("photos")), c.locale);
    EXPECT_NE(scan.out.find(c.counts), std::string::npos) << c.locale << "\n" << scan.out;
    const CliRun list = Run("pattern list", c.locale);
    EXPECT_NE(list.out.find(std::string("*\t") + c.patternName + "\t"), std::string::npos)
        << c.locale << "\n"
        << list.out;
  }
}

TEST_F(LocaleCliTest, SettingsKeepTheirEnglishValueNames) {
  Run("scan " + ShellQuoted(home_.File("photos")), "");
  const CliRun settings = Run("settings", "LANG=de_DE.UTF-8");
  EXPECT_NE(settings.out.find("Image Folder"), std::string::npos) << settings.out;
}

}  // namespace
}  // namespace lumatag
