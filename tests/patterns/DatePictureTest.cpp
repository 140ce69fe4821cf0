// Date pictures rendered in en-US and de-DE, the run rules, the short date, adding days and the
// Insert Date checks.
#include "patterns/DatePicture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/StringIds.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

SystemTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  SystemTime t;
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  t.second = static_cast<std::uint16_t>(second);
  t.dayOfWeek = 3;  // deliberately wrong: weekday names come from the date
  return t;
}

const DateLocale& Locale(const char* name) {
  static DateLocale enUs;
  static DateLocale deDe;
  static const bool loaded = Succeeded(DateLocale::FromName("en-US", &enUs)) &&
                             Succeeded(DateLocale::FromName("de_DE.UTF-8", &deDe));
  EXPECT_TRUE(loaded);
  return std::string_view(name) == "de-DE" ? deDe : enUs;
}

struct PictureCase {
  const char* locale;
  std::u16string picture;
  SystemTime time;
  Status status;
  std::u16string output;
};

class FormatDatePictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(FormatDatePictureTest, Renders) {
  const PictureCase& c = GetParam();
  CountedString output;
  ASSERT_OK(output.Assign(u"stale"));
  EXPECT_STATUS(c.status, FormatDatePicture(c.picture, c.time, output, Locale(c.locale)));
  EXPECT_EQ(std::u16string(output.View()), c.output);
}

const SystemTime kDay = At(2012, 12, 28, 12, 9, 32);  // a Friday

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatDatePictureTest,
    ::testing::Values(
        PictureCase{"en-US", u"M-d-yy", kDay, S_OK, u"12-28-12"},
        PictureCase{"en-US", u"yyyy-MM-dd", kDay, S_OK, u"2012-12-28"},
        PictureCase{"en-US", u"MMMM", kDay, S_OK, u"December"},
        PictureCase{"en-US", u"MMM MMMMM", kDay, S_OK, u"Dec December"},
        PictureCase{"en-US", u"ddd dddd ddddd", kDay, S_OK, u"Fri Friday Friday"},
        PictureCase{"en-US", u"H-mm-ss", kDay, S_OK, u"12-09-32"},
        PictureCase{"en-US", u"h-mm tt", At(2012, 12, 28, 13, 5), S_OK, u"1-05 PM"},
        PictureCase{"en-US", u"h hh t tt", At(2012, 12, 28, 0, 5), S_OK, u"12 12 A AM"},
        PictureCase{"en-US", u"H HH HHH m s", At(2012, 1, 2, 7, 8, 9), S_OK, u"7 07 07 8 9"},
        PictureCase{"en-US", u"d dd M MM", At(2012, 1, 2), S_OK, u"2 02 1 01"},
        PictureCase{"en-US", u"y yy yyy yyyy yyyyy", At(2009, 1, 2), S_OK, u"9 09 09 2009 2009"},
        PictureCase{"en-US", u"'Day' d", kDay, S_OK, u"Day 28"},
        PictureCase{"en-US", u"'it''s' yyyy", kDay, S_OK, u"it's 2012"},
        PictureCase{"en-US", u"''''x''", kDay, S_OK, u"'x"},
        // Letters outside the picture language are literal text.
        PictureCase{"en-US", u"gg_Dy#", kDay, S_OK, u"gg_D12#"},
        PictureCase{"en-US", u"'open", kDay, E_UNEXPECTED, u""},
        PictureCase{"en-US", u"yyyy 'open", kDay, E_UNEXPECTED, u"2012 "},
        PictureCase{"en-US", u"", kDay, S_OK, u""},
        PictureCase{"en-US", std::u16string(96, u'_'), kDay, S_OK, std::u16string(96, u'_')},
        PictureCase{"en-US", u"d" + std::u16string(97, u'_'), kDay, E_BUFFER_TOO_SMALL, u"28"},
        PictureCase{"en-US", std::u16string(97, u'y'), kDay, E_BUFFER_TOO_SMALL, u""},
        PictureCase{"en-US", u"'" + std::u16string(94, u'x') + u"'", kDay, S_OK,
                    std::u16string(94, u'x')},
        PictureCase{"en-US", u"'" + std::u16string(95, u'x') + u"'", kDay, E_BUFFER_TOO_SMALL, u""},
        // Impossible dates fail date runs; impossible times fail every other run.
        PictureCase{"en-US", u"H-d", At(2013, 2, 29, 10), E_INVALIDARG, u"10-"},
        PictureCase{"en-US", u"d-H", At(2012, 2, 29, 24), E_INVALIDARG, u"29"},
        PictureCase{"en-US", u"d", At(2012, 13, 1), E_INVALIDARG, u""},
        PictureCase{"en-US", u"yyyy", NoDate(), S_OK, u"1601"},
        PictureCase{"de-DE", u"MMMM", kDay, S_OK, u"Dezember"},
        PictureCase{"de-DE", u"dddd, d. MMMM yyyy", kDay, S_OK, u"Freitag, 28. Dezember 2012"},
        PictureCase{"de-DE", u"ddd MMM", At(2012, 3, 1), S_OK, u"Do Mär"}),
    LT_CASE_NAMES);

TEST(FormatDatePictureTest, AFixedOutputThatCannotGrowFails) {
  FixedString<4> output;
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, FormatDatePicture(u"yyyy-MM", kDay, output, Locale("en-US")));
  EXPECT_EQ(std::u16string(output.View()), u"2012");
}

TEST(ShortDateTest, UsesTheLocalesShortDate) {
  CountedString output;
  EXPECT_OK(FormatShortDate(kDay, output, Locale("en-US")));
  EXPECT_EQ(std::u16string(output.View()), u"12/28/2012");
  EXPECT_OK(FormatShortDate(kDay, output, Locale("de-DE")));
  EXPECT_EQ(std::u16string(output.View()), u"28.12.2012");
}

TEST(DateLocaleTest, NamesAndTheEnvironment) {
  DateLocale locale;
  EXPECT_STATUS(E_INVALIDARG, DateLocale::FromName("xx-YY", &locale));
  EXPECT_STATUS(E_INVALIDARG, DateLocale::FromName("", &locale));
  EXPECT_STATUS(E_INVALIDARG, DateLocale::FromName("C", &locale));
  EXPECT_STATUS(E_INVALIDARG, DateLocale::FromName("de-DE-!!", &locale));
  EXPECT_OK(DateLocale::FromName("fr", &locale));
  EXPECT_EQ(locale.MonthName(12), u"décembre");

  struct Env {
    const char* all;
    const char* time;
    const char* lang;
    const char* expected;
  };
  const Env cases[] = {
      {nullptr, nullptr, nullptr, "en_US"},      {nullptr, nullptr, "de_DE.UTF-8", "de_DE"},
      {nullptr, "fr_FR@euro", "de_DE", "fr_FR"}, {"C", "fr_FR", "de_DE", "en_US"},
      {"", "POSIX", "de_DE", "en_US"},           {nullptr, nullptr, "C.UTF-8", "en_US"}};
  const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* value = std::getenv(names[i]);
    had[i] = value != nullptr;
    if (had[i]) saved[i] = value;
  }
  for (const Env& env : cases) {
    const char* values[] = {env.all, env.time, env.lang};
    for (int i = 0; i < 3; ++i) {
      if (values[i] != nullptr) {
        setenv(names[i], values[i], 1);
      } else {
        unsetenv(names[i]);
      }
    }
    EXPECT_EQ(DateLocale::UserDefaultName(), env.expected);
  }
  for (int i = 0; i < 3; ++i) {
    if (had[i]) {
      setenv(names[i], saved[i].c_str(), 1);
    } else {
      unsetenv(names[i]);
    }
  }
}

struct AddDaysCase {
  SystemTime from;
  std::uint16_t days;
  SystemTime to;
};

class AddDaysTest : public ::testing::TestWithParam<AddDaysCase> {};

TEST_P(AddDaysTest, MovesForward) {
  SystemTime t = GetParam().from;
  AddDays(t, GetParam().days);
  EXPECT_EQ(t.year, GetParam().to.year);
  EXPECT_EQ(t.month, GetParam().to.month);
  EXPECT_EQ(t.day, GetParam().to.day);
  EXPECT_EQ(t.dayOfWeek, GetParam().from.dayOfWeek);  // not recomputed
}

INSTANTIATE_TEST_SUITE_P(Cases, AddDaysTest,
                         ::testing::Values(AddDaysCase{At(2013, 1, 25), 10, At(2013, 2, 4)},
                                           AddDaysCase{At(2012, 12, 28), 7, At(2013, 1, 4)},
                                           AddDaysCase{At(2012, 2, 25), 7, At(2012, 3, 3)},
                                           AddDaysCase{At(2013, 1, 1), 60, At(2013, 3, 2)},
                                           AddDaysCase{At(2000, 2, 28), 1, At(2000, 2, 29)},
                                           AddDaysCase{At(1900, 2, 28), 1, At(1900, 3, 1)},
                                           AddDaysCase{At(2012, 14, 3), 0, At(2013, 2, 3)},
                                           AddDaysCase{At(2012, 25, 31), 1, At(2014, 2, 1)},
                                           // Far beyond what a 16-bit day field holds.
                                           AddDaysCase{At(2000, 1, 31), 65535, At(2179, 7, 6)}),
                         LT_CASE_NAMES);

TEST(NoDateTest, IsTheStartOfTheFileTimeScale) {
  SystemTime t = At(2012, 12, 28, 1, 2, 3);
  t.milliseconds = 4;
  ResetToNoDate(t);
  EXPECT_EQ(t.year, 1601);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.dayOfWeek, 0);
  EXPECT_EQ(t.hour + t.minute + t.second + t.milliseconds, 0);
}

struct CheckCase {
  std::u16string picture;
  std::uint16_t id;
};

class CheckDatePictureTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckDatePictureTest, GivesTheReason) {
  EXPECT_EQ(CheckDatePicture(GetParam().picture, kDay, Locale("en-US")), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckDatePictureTest,
    ::testing::Values(CheckCase{u"", IDS_ERR_DATE_FORMAT_EMPTY}, CheckCase{u"M-d-yy", 0},
                      CheckCase{u"H:mm", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{u"a\\b", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{u"a/b", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{u"*", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{u"\"", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{u"?<>|", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{std::u16string(256, u'd'), IDS_ERR_DATE_FORMAT_INVALID_CHARACTER},
                      CheckCase{u"'open", IDS_ERR_DATE_FORMAT_INVALID},
                      CheckCase{std::u16string(97, u'-'), IDS_ERR_DATE_FORMAT_INVALID},
                      CheckCase{std::u16string(255, u'd').replace(0, 3, u"-- "),
                                IDS_ERR_DATE_FORMAT_INVALID}),
    LT_CASE_NAMES);

}  // namespace
}  // namespace lumatag
