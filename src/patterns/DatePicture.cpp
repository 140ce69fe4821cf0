#include "patterns/DatePicture.h"

#include <unicode/udat.h>
#include <unicode/udatpg.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "foundation/StringIds.h"

namespace lumatag {

namespace {

constexpr std::u16string_view kPictureLetters = u"dMyhHmst";
constexpr std::u16string_view kInvalidFileNameCharacters = u"\\/:*\"?<>|";
constexpr int kMaxPictureLength = 255;

bool IsPictureLetter(char16_t c) {
  return kPictureLetters.find(c) != std::u16string_view::npos;
}
bool IsDateLetter(char16_t c) {
  return c == u'd' || c == u'M' || c == u'y';
}

// --- Locale data
// ----------------------------------------------------------------------------------

struct FormatCloser {
  void operator()(UDateFormat* format) const { udat_close(format); }
};
struct GeneratorCloser {
  void operator()(UDateTimePatternGenerator* generator) const { udatpg_close(generator); }
};

bool Symbol(const UDateFormat* format, UDateFormatSymbolType type, int index, std::u16string* out) {
  UChar buffer[128];
  UErrorCode error = U_ZERO_ERROR;
  const int32_t length = udat_getSymbols(format, type, index, buffer, 128, &error);
  if (U_FAILURE(error) || length < 0 || length > 128) return false;
  out->assign(buffer, buffer + length);
  return true;
}

// An ICU date pattern in the picture language: years, months, days and weekdays map to their
// letters, quoted text stays quoted, other fields are left out.
std::u16string PictureFromPattern(std::u16string_view pattern) {
  std::u16string picture;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char16_t c = pattern[i];
    if (c == u'\'') {
      std::u16string text;
      std::size_t j = i + 1;
      if (j < pattern.size() && pattern[j] == u'\'') {
        text = u"'";
        j += 1;
      } else {
        while (j < pattern.size()) {
          if (pattern[j] == u'\'') {
            if (j + 1 < pattern.size() && pattern[j + 1] == u'\'') {
              text += u'\'';
              j += 2;
              continue;
            }
            ++j;
            break;
          }
          text += pattern[j++];
        }
      }
      picture += u'\'';
      for (char16_t t : text) {
        picture += t;
        if (t == u'\'') picture += u'\'';
      }
      picture += u'\'';
      i = j;
      continue;
    }
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
      std::size_t j = i;
      while (j < pattern.size() && pattern[j] == c) ++j;
      const std::size_t count = j - i;
      switch (c) {
        case u'y':
        case u'Y':
        case u'u':
          picture += count == 2 ? u"yy" : u"yyyy";
          break;
        case u'M':
        case u'L':
          picture.append(std::min<std::size_t>(count, 4), u'M');
          break;
        case u'd':
          picture.append(std::min<std::size_t>(count, 2), u'd');
          break;
        case u'E':
        case u'c':
        case u'e':
          picture += count <= 3 ? u"ddd" : u"dddd";
          break;
        default:
          break;
      }
      i = j;
      continue;
    }
    picture += c;
    ++i;
  }
  return picture;
}

// "de_DE.UTF-8@euro" → "de_DE"; "" for "C" and "POSIX".
std::string PosixLocaleName(std::string_view value) {
  const std::size_t end = value.find_first_of(".@");
  std::string_view name = value.substr(0, end);
  if (name == "C" || name == "POSIX") return "";
  return std::string(name);
}

}  // namespace

std::string DateLocale::UserDefaultName() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != 0) {
      const std::string name = PosixLocaleName(value);
      return name.empty() ? "en_US" : name;
    }
  }
  return "en_US";
}

Status DateLocale::FromName(std::string_view name, DateLocale* locale) {
  if (locale == nullptr) return E_INVALIDARG;
  const std::string posix = PosixLocaleName(name);
  if (posix.empty() || posix.size() > 100) return E_INVALIDARG;
  char id[ULOC_FULLNAME_CAPACITY];
  UErrorCode error = U_ZERO_ERROR;
  if (posix.find('-') != std::string::npos) {
    int32_t parsed = 0;
    uloc_forLanguageTag(posix.c_str(), id, sizeof id, &parsed, &error);
    if (U_FAILURE(error) || parsed != static_cast<int32_t>(posix.size())) return E_INVALIDARG;
  } else {
    uloc_canonicalize(posix.c_str(), id, sizeof id, &error);
    if (U_FAILURE(error)) return E_INVALIDARG;
  }
  id[sizeof id - 1] = 0;

  error = U_ZERO_ERROR;
  std::unique_ptr<UDateFormat, FormatCloser> format(
      udat_open(UDAT_NONE, UDAT_SHORT, id, nullptr, 0, nullptr, 0, &error));
  if (U_FAILURE(error) || format == nullptr) return E_INVALIDARG;
  // ICU falls back to another locale's data when it has none for the language asked for.
  error = U_ZERO_ERROR;
  const char* actual = udat_getLocaleByType(format.get(), ULOC_ACTUAL_LOCALE, &error);
  char wanted[ULOC_LANG_CAPACITY];
  char found[ULOC_LANG_CAPACITY];
  UErrorCode languageError = U_ZERO_ERROR;
  uloc_getLanguage(id, wanted, sizeof wanted, &languageError);
  uloc_getLanguage(actual != nullptr ? actual : "", found, sizeof found, &languageError);
  if (U_FAILURE(error) || U_FAILURE(languageError) || wanted[0] == 0 ||
      std::string_view(wanted) != std::string_view(found)) {
    return E_INVALIDARG;
  }

  DateLocale result;
  result.name_ = id;
  bool ok = true;
  for (int i = 0; i < 12; ++i) {
    ok = ok && Symbol(format.get(), UDAT_STANDALONE_MONTHS, i, &result.months_[i]);
    ok = ok && Symbol(format.get(), UDAT_STANDALONE_SHORT_MONTHS, i, &result.shortMonths_[i]);
  }
  for (int i = 0; i < 7; ++i) {
    // ICU counts weekdays from 1 = Sunday.
    ok = ok && Symbol(format.get(), UDAT_STANDALONE_WEEKDAYS, i + 1, &result.days_[i]);
    ok = ok && Symbol(format.get(), UDAT_STANDALONE_SHORT_WEEKDAYS, i + 1, &result.shortDays_[i]);
  }
  ok = ok && Symbol(format.get(), UDAT_AM_PMS, 0, &result.am_);
  ok = ok && Symbol(format.get(), UDAT_AM_PMS, 1, &result.pm_);
  if (!ok) return E_INVALIDARG;

  // The short date: the locale's pattern for year, month and day as numbers.
  error = U_ZERO_ERROR;
  std::unique_ptr<UDateTimePatternGenerator, GeneratorCloser> generator(udatpg_open(id, &error));
  UChar pattern[128];
  int32_t length = 0;
  if (U_SUCCESS(error) && generator != nullptr) {
    static const UChar kSkeleton[] = u"yMd";
    length = udatpg_getBestPattern(generator.get(), kSkeleton, 3, pattern, 128, &error);
  }
  if (U_FAILURE(error) || length <= 0 || length > 128) {
    result.shortDate_ = u"M/d/yyyy";
  } else {
    result.shortDate_ =
        PictureFromPattern(std::u16string_view(pattern, static_cast<std::size_t>(length)));
  }
  *locale = std::move(result);
  return S_OK;
}

const DateLocale& DateLocale::UserDefault() {
  static const DateLocale* const locale = [] {
    auto* made = new DateLocale();
    if (Failed(FromName(UserDefaultName(), made))) IgnoreStatus(FromName("en_US", made));
    return made;
  }();
  return *locale;
}

// --- Rendering
// ------------------------------------------------------------------------------------

namespace {

void AppendNumber(std::u16string& out, unsigned value, int minDigits) {
  char16_t digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int i = n; i < minDigits; ++i) out += u'0';
  while (n > 0) out += digits[--n];
}

bool ValidDate(const SystemTime& time) {
  SystemTime date = time;
  date.hour = date.minute = date.second = date.milliseconds = 0;
  FileTime ignored = 0;
  return Succeeded(SystemTimeToFileTime(date, &ignored));
}

bool ValidTime(const SystemTime& time) {
  return time.hour <= 23 && time.minute <= 59 && time.second <= 59 && time.milliseconds <= 999;
}

// A letter run of date letters, as the date formatter renders it.
Status RenderDateRun(std::u16string_view run, const SystemTime& time, const DateLocale& locale,
                     std::u16string& out) {
  if (!ValidDate(time)) return E_INVALIDARG;
  const int count = static_cast<int>(run.size());
  switch (run[0]) {
    case u'd':
      if (count <= 2) {
        AppendNumber(out, time.day, count);
      } else {
        const int weekday = DayOfWeek(time.year, time.month, time.day);
        out += count == 3 ? locale.AbbreviatedDayName(weekday) : locale.DayName(weekday);
      }
      break;
    case u'M':
      if (count <= 2) {
        AppendNumber(out, time.month, count);
      } else {
        out += count == 3 ? locale.AbbreviatedMonthName(time.month) : locale.MonthName(time.month);
      }
      break;
    default:  // y
      if (count >= 4) {
        AppendNumber(out, time.year, 4);
      } else {
        AppendNumber(out, time.year % 100u, count == 1 ? 1 : 2);
      }
      break;
  }
  return S_OK;
}

// Every other run, as the time formatter renders it: time letter runs, quoted runs (their text
// with doubled quotes made single) and literal runs.
Status RenderTimeRun(std::u16string_view run, const SystemTime& time, const DateLocale& locale,
                     std::u16string& out) {
  if (!ValidTime(time)) return E_INVALIDARG;
  const int count = static_cast<int>(run.size());
  const int digits = count >= 2 ? 2 : 1;
  switch (run[0]) {
    case u'h':
      AppendNumber(out, time.hour % 12 == 0 ? 12u : time.hour % 12u, digits);
      return S_OK;
    case u'H':
      AppendNumber(out, time.hour, digits);
      return S_OK;
    case u'm':
      AppendNumber(out, time.minute, digits);
      return S_OK;
    case u's':
      AppendNumber(out, time.second, digits);
      return S_OK;
    case u't': {
      const std::u16string_view designator =
          time.hour < 12 ? locale.AmDesignator() : locale.PmDesignator();
      out += count == 1 ? designator.substr(0, 1) : designator;
      return S_OK;
    }
    case u'\'':
      for (std::size_t i = 1; i + 1 < run.size(); ++i) {
        out += run[i];
        if (run[i] == u'\'') ++i;  // '' stands for one quote
      }
      return S_OK;
    default:
      out += run;
      return S_OK;
  }
}

}  // namespace

Status FormatDatePicture(std::u16string_view picture, const SystemTime& time, CountedString& output,
                         const DateLocale& locale) {
  output.Clear();
  std::size_t i = 0;
  while (i < picture.size()) {
    const char16_t c = picture[i];
    std::size_t end = i + 1;
    if (IsPictureLetter(c)) {
      while (end < picture.size() && picture[end] == c) ++end;
    } else if (c == u'\'') {
      while (true) {
        if (end >= picture.size()) return E_UNEXPECTED;
        if (picture[end] == u'\'') {
          if (end + 1 < picture.size() && picture[end + 1] == u'\'') {
            end += 2;
            continue;
          }
          ++end;
          break;
        }
        ++end;
      }
    } else {
      while (end < picture.size() && picture[end] != u'\'' && !IsPictureLetter(picture[end])) ++end;
    }
    const std::u16string_view run = picture.substr(i, end - i);
    if (run.size() > static_cast<std::size_t>(kDatePictureRunCapacity)) return E_BUFFER_TOO_SMALL;
    std::u16string rendered;
    LT_TRY(IsDateLetter(c) ? RenderDateRun(run, time, locale, rendered)
                           : RenderTimeRun(run, time, locale, rendered));
    LT_TRY(output.Append(rendered));
    i = end;
  }
  return S_OK;
}

Status FormatShortDate(const SystemTime& time, CountedString& output, const DateLocale& locale) {
  return FormatDatePicture(locale.ShortDatePicture(), time, output, locale);
}

void AddDays(SystemTime& time, std::uint16_t days) {
  // Work in wider numbers: a day field of 31 plus 65,535 days does not fit 16 bits.
  std::int64_t year = time.year;
  std::int64_t month = time.month;
  while (month >= 13) {
    month -= 12;
    year += 1;
  }
  if (month < 1) month = 1;  // month 0 has no length; it counts as January
  std::int64_t day = static_cast<std::int64_t>(time.day) + days;
  while (day > DaysInMonth(static_cast<int>(year), static_cast<int>(month))) {
    day -= DaysInMonth(static_cast<int>(year), static_cast<int>(month));
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  time.year = static_cast<std::uint16_t>(year > 0xFFFF ? 0xFFFF : year);
  time.month = static_cast<std::uint16_t>(month);
  time.day = static_cast<std::uint16_t>(day);
}

SystemTime NoDate() {
  SystemTime time;
  time.year = 1601;
  time.month = 1;
  time.dayOfWeek = 0;
  time.day = 1;
  time.hour = time.minute = time.second = time.milliseconds = 0;
  return time;
}

void ResetToNoDate(SystemTime& time) {
  time = NoDate();
}

std::uint16_t CheckDatePicture(std::u16string_view picture, const SystemTime& previewDate,
                               const DateLocale& locale) {
  if (picture.empty()) return IDS_ERR_DATE_FORMAT_EMPTY;
  if (picture.size() > static_cast<std::size_t>(kMaxPictureLength) ||
      picture.find_first_of(kInvalidFileNameCharacters) != std::u16string_view::npos) {
    return IDS_ERR_DATE_FORMAT_INVALID_CHARACTER;
  }
  CountedString rendered;
  if (Failed(FormatDatePicture(picture, previewDate, rendered, locale))) {
    return IDS_ERR_DATE_FORMAT_INVALID;
  }
  return 0;
}

}  // namespace lumatag
