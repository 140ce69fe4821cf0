// Date pictures: how a date token writes a date and time into a file name ("M-d-yy",
// "yyyy-MM-dd H-mm-ss", "'Day' d"), and the small calendar operations shared by the naming code.
//
// A picture is cut into runs: a letter run (one letter repeated, from d M y h H m s t), a quoted
// run
// ('text', with '' standing for one quote inside it) or a literal run (anything else up to the next
// quote or picture letter). Each run renders as the platform's date formatter (runs starting with
// d, M or y) or time formatter (all other runs) renders it as a picture on its own:
//   d dd: day without / with leading zero; ddd dddd...: abbreviated / full weekday name;
//   M MM: month without / with leading zero; MMM MMMM...: abbreviated / full month name;
//   y yy yyy: last two digits of the year without (y) / with leading zero; yyyy...: full year;
//   h hh / H HH: 12-hour / 24-hour clock; m mm; s ss: minutes, seconds (one letter: no padding);
//   t: first character of the AM/PM designator; tt...: the whole designator;
//   quoted runs: their text; literal runs: themselves.
// Names and designators come from ICU's data for the locale (stand-alone forms, as names are
// rendered on their own); digits are always ASCII.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/CountedString.h"
#include "foundation/SystemTime.h"

namespace lumatag {

// The date words and the short-date picture of one locale.
class DateLocale {
 public:
  // The user's default locale: the first of LC_ALL, LC_TIME and LANG that is set; en-US when none
  // is, when it is "C" or "POSIX", or when ICU has no data for it.
  static const DateLocale& UserDefault();
  // The locale name the environment gives ("de_DE" from "de_DE.UTF-8@euro"), "en_US" for none.
  static std::string UserDefaultName();
  // A locale by name ("de-DE", "de_DE", "de_DE.UTF-8"); E_INVALIDARG when ICU has no data for
  // its language.
  static Status FromName(std::string_view name, DateLocale* locale);

  const std::string& Name() const { return name_; }
  std::u16string_view MonthName(int month) const { return months_[(month - 1) % 12]; }
  std::u16string_view AbbreviatedMonthName(int month) const {
    return shortMonths_[(month - 1) % 12];
  }
  // dayOfWeek 0 = Sunday.
  std::u16string_view DayName(int dayOfWeek) const { return days_[dayOfWeek % 7]; }
  std::u16string_view AbbreviatedDayName(int dayOfWeek) const { return shortDays_[dayOfWeek % 7]; }
  std::u16string_view AmDesignator() const { return am_; }
  std::u16string_view PmDesignator() const { return pm_; }
  // The locale's short date as a picture of the language above ("M/d/yyyy" in en-US).
  std::u16string_view ShortDatePicture() const { return shortDate_; }

 private:
  std::string name_;
  std::u16string months_[12];
  std::u16string shortMonths_[12];
  std::u16string days_[7];
  std::u16string shortDays_[7];
  std::u16string am_;
  std::u16string pm_;
  std::u16string shortDate_;
};

// Runs are copied into a work string of this many characters; a longer run cannot be rendered.
inline constexpr int kDatePictureRunCapacity = 96;

// Renders `time` with `picture` into `output` (cleared first; an empty picture gives an empty
// output). E_UNEXPECTED for a quoted run without its closing quote, E_BUFFER_TOO_SMALL for a run
// longer than 96 characters (or an output that cannot grow), E_INVALIDARG for a date (date runs)
// or time (other runs) that does not exist. After a failure the output keeps the runs rendered.
Status FormatDatePicture(std::u16string_view picture, const SystemTime& time, CountedString& output,
                         const DateLocale& locale = DateLocale::UserDefault());

// The date (no time) in the locale's short-date picture.
Status FormatShortDate(const SystemTime& time, CountedString& output,
                       const DateLocale& locale = DateLocale::UserDefault());

// Moves the date forward by `days` days. A month of 13 or more first carries into the year; the
// day of week is not recomputed.
void AddDays(SystemTime& time, std::uint16_t days);

// The no-date value: 1601-01-01 00:00:00.000 with day of week 0.
SystemTime NoDate();
void ResetToNoDate(SystemTime& time);

// The Insert Date dialog's checks of a picture: 0 when it can be used, else the id of the text that
// says why (empty; too long or holding a character a file name cannot hold; not renderable for
// `previewDate` in `locale`).
std::uint16_t CheckDatePicture(std::u16string_view picture, const SystemTime& previewDate,
                               const DateLocale& locale = DateLocale::UserDefault());

}  // namespace lumatag
