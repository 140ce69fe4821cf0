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
constexpr std::uint32_t kFrench = 0x40C;

std::vector<UiLocaleEntry> EnglishGerman() {
  return {{kEnglishLocale, "en_US", ""}, {kGerman, "de_DE", "de_DE/lumatag.txt"}};
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

TEST(UiLocale, LocaleFoldersNeedTheProgramsTable) {
  TempDir dir;
  auto write = [&](const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(dir.File(path)).parent_path());
    QFile file(QString::fromStdString(dir.File(path)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  };
  write("de_DE/Lumatag.TXT");  // names compare without regard to case
  write("fr_FR/other.txt");    // not the program's table
  write("not-a-locale/lumatag.txt");
  write("help/index.html");
  const std::vector<UiLocaleEntry> available =
      AvailableUiLocales(QString::fromStdString(dir.path()), QStringLiteral("lumatag"));
  ASSERT_EQ(available.size(), 2u);
  EXPECT_EQ(available[0].lcid, kEnglishLocale);
  EXPECT_TRUE(available[0].tablePath.isEmpty());
  EXPECT_EQ(available[1].lcid, kGerman);
  EXPECT_TRUE(available[1].tablePath.endsWith(QStringLiteral("de_DE/Lumatag.TXT")));
}

TEST(UiLocale, NamesMapToLocaleNumbers) {
  EXPECT_EQ(LocaleIdOfName(QStringLiteral("en_US")), kEnglishLocale);
  EXPECT_EQ(LocaleIdOfName(QStringLiteral("de-DE")), kGerman);
  EXPECT_EQ(FindUiLocale(kFrench, EnglishGerman()).lcid, kEnglishLocale);
  EXPECT_EQ(FindUiLocale(kGerman, EnglishGerman()).lcid, kGerman);
}

}  // namespace
}  // namespace lumatag::shell
