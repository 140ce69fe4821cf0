// The interface language at start-up, with the German table that ships beside the program: taken
// without a question when the environment asks for German (any country), kept as the stored
// choice, and the "Application UI" question when the wanted language is missing but others exist.
#include <QAbstractButton>
#include <QLabel>
#include <filesystem>
#include <fstream>

#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

class InterfaceLocaleTest : public ShellTest {
 protected:
  InterfaceLocaleTest() {
    std::filesystem::create_directories(dir_.File("program/de"));
    std::filesystem::copy_file(LUMATAG_GERMAN_TABLE, dir_.File("program/de/strings.txt"));
    // A first start: no locale stored yet.
    std::ofstream(dir_.File("settings.reg")) << "Lumatag Settings Hive 1\n";
  }
  bool StartWanting(std::uint32_t wanted) {
    if (shell_) shell_->ShutdownApplication();
    ShellPorts ports = BasePorts();
    ports.wantedLocale = wanted;
    ports.sounds = &sounds_;
    ports.localeChooser = [this](const std::vector<UiLocaleEntry>& available) {
      offered_ = available.size();
      return answer_;
    };
    shell_ = std::make_unique<ShellApplication>(std::move(ports));
    return Succeeded(shell_->InitApplication());
  }
  std::size_t offered_ = 0;
  int answer_ = -1;
};

TEST_F(InterfaceLocaleTest, GermanOfAnyCountryTakesTheGermanTableWithoutAsking) {
  ASSERT_TRUE(StartWanting(0x0C07));  // de_AT
  EXPECT_EQ(offered_, 0u);
  EXPECT_EQ(Button(kFolderButton)->text(), QStringLiteral("&Ordner..."));
  EXPECT_EQ(shell_->UiLocale().name, QStringLiteral("de"));
  // The choice is kept: a later start in another language stays German.
  ASSERT_OK(shell_->SaveSettings());
  ASSERT_TRUE(StartWanting(kEnglishLocale));
  EXPECT_EQ(Button(kFolderButton)->text(), QStringLiteral("&Ordner..."));
}

TEST_F(InterfaceLocaleTest, MissingLanguageAsksAmongTheAvailableOnes) {
  answer_ = 0;                        // English
  ASSERT_TRUE(StartWanting(0x040C));  // French
  EXPECT_EQ(offered_, 2u);
  EXPECT_EQ(Button(kFolderButton)->text(), QStringLiteral("&Folder..."));
  EXPECT_EQ(shell_->WindowRecord().uiLocale, kEnglishLocale);
  EXPECT_TRUE(shell_->SettingsChanged());
}

}  // namespace
}  // namespace lumatag::shell
