// Choosing the user-interface language from the locale folders beside the program.
#include <QDir>
#include <QFile>
#include <filesystem>

#include <gtest/gtest.h>

#include "shell/UiLocale.h"
#include "support/TestSupport.h"

namespace lumatag::shell {
namespace {

constexpr std::uint32_t kGerman = 0x407;
constexpr std::uint32_t kGermanLanguage = 0x07;  // "de": the language alone
constexpr std::uint32_t kSwissGerman = 0x807;
constexpr std::uint32_t kAustrianGerman = 0xC07;
constexpr std::uint32_t kFrench = 0x40C;

std::vector<UiLocaleEntry> EnglishGerman() {
  return {{kEnglishLocale, "en_US", ""}, {kGerman, "de_DE", "de_DE/strings.txt"}};
}
std::vector<UiLocaleEntry> EnglishGermanLanguage() {
  return {{kEnglishLocale, "en_US", ""},
          {kSwissGerman, "de_CH", "de_CH/strings.txt"},
          {kGermanLanguage, "de", "de/strings.txt"}};
}

TEST(UiLocale, ChoiceFollowsTheWantedLocale) {
  struct Case {
    const char* what;
    std::uint32_t wanted;
    std::vector<UiLocaleEntry> available;
    int chooserAnswer;  // -2: the chooser must not be asked
    Status status;
    std::uint32_t chosen;
  };
  const Case cases[] = {
      {"English is taken at once", kEnglishLocale, EnglishGerman(), -2, S_OK, kEnglishLocale},
      {"an available wanted locale is taken", kGerman, EnglishGerman(), -2, S_OK, kGerman},
      {"only English: no question",
       kFrench,
       {{kEnglishLocale, "en_US", ""}},
       -2,
       S_OK,
       kEnglishLocale},
      {"missing locale: the person picks", kFrench, EnglishGerman(), 1, S_OK, kGerman},
      {"the language's folder serves its countries", kAustrianGerman, EnglishGermanLanguage(), -2,
       S_OK, kGermanLanguage},
      {"the country's own folder comes first", kSwissGerman, EnglishGermanLanguage(), -2, S_OK,
       kSwissGerman},
      {"another country's folder when no language folder", kAustrianGerman, EnglishGerman(), -2,
       S_OK, kGerman},
      {"missing locale: no choice ends start-up", kFrench, EnglishGerman(), -1, E_LOCALE_NOT_FOUND,
       0},
  };
  for (const Case& c : cases) {
    bool asked = false;
    UiLocaleEntry chosen;
    chosen.lcid = 0;
    const Status status = ChooseUiLocale(
        c.wanted, c.available,
        [&](const std::vector<UiLocaleEntry>&) {
          asked = true;
          return c.chooserAnswer;
        },
        &chosen);
    EXPECT_EQ(status, c.status) << c.what;
    EXPECT_EQ(asked, c.chooserAnswer != -2) << c.what;
    if (Succeeded(status)) {
      EXPECT_EQ(chosen.lcid, c.chosen) << c.what;
    }
  }
}

TEST(UiLocale, LocaleFoldersNeedTheTableAndEarlierFoldersWin) {
  TempDir dir;
  auto write = [&](const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(dir.File(path)).parent_path());
    QFile file(QString::fromStdString(dir.File(path)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  };
  write("bin/de/Strings.TXT");  // names compare without regard to case
  write("bin/fr/other.txt");    // not a table
  write("bin/not-a-locale/strings.txt");
  write("bin/help/index.html");
  write("share/de/strings.txt");  // hidden by the program's own folder
  write("share/de_AT/strings.txt");
  const std::vector<UiLocaleEntry> available = AvailableUiLocales(
      {QString::fromStdString(dir.File("bin")), QString::fromStdString(dir.File("share"))});
  ASSERT_EQ(available.size(), 3u);
  EXPECT_EQ(available[0].lcid, kEnglishLocale);
  EXPECT_TRUE(available[0].tablePath.isEmpty());
  EXPECT_EQ(available[1].lcid, kGermanLanguage);
  EXPECT_TRUE(available[1].tablePath.endsWith(QStringLiteral("bin/de/Strings.TXT")));
  EXPECT_EQ(available[2].lcid, kAustrianGerman);
  EXPECT_TRUE(available[2].tablePath.endsWith(QStringLiteral("share/de_AT/strings.txt")));
}

TEST(UiLocale, NamesMapToLocaleNumbers) {
  EXPECT_EQ(LocaleIdOfName(QStringLiteral("en_US")), kEnglishLocale);
  EXPECT_EQ(LocaleIdOfName(QStringLiteral("de-DE")), kGerman);
  EXPECT_EQ(FindUiLocale(kFrench, EnglishGerman()).lcid, kEnglishLocale);
  EXPECT_EQ(FindUiLocale(kGerman, EnglishGerman()).lcid, kGerman);
  EXPECT_EQ(FindUiLocale(kGerman, EnglishGermanLanguage()).lcid, kGermanLanguage);
  EXPECT_EQ(LocaleIdOfName(QStringLiteral("de")), kGermanLanguage);
}

}  // namespace
}  // namespace lumatag::shell
