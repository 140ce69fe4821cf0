#include "foundation/SystemTime.h"

namespace lumatag {

namespace {

// Days from 1601-01-01 to the first day of `year` (proleptic Gregorian calendar).
std::int64_t DaysBeforeYear(std::int64_t year) {
  const std::int64_t y = year - 1601;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

constexpr int kDaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

std::int64_t DaysBeforeDate(int year, int month, int day) {
  std::int64_t days = DaysBeforeYear(year) + kDaysBeforeMonth[month] + day - 1;
  if (month > 2 && IsLeapYear(year)) ++days;
  return days;
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month];
}

int DayOfWeek(int year, int month, int day) {
  // 1601-01-01 was a Monday.
  return static_cast<int>((DaysBeforeDate(year, month, day) + 1) % 7);
}

Status FileTimeToSystemTime(FileTime time, SystemTime* result) {
  const std::uint64_t totalSeconds = time / kFileTimeTicksPerSecond;
  std::int64_t days = static_cast<std::int64_t>(totalSeconds / 86400);
  const std::uint64_t secondOfDay = totalSeconds % 86400;
  // Estimate the year, then correct.
  std::int64_t year = 1601 + days / 366;
  while (DaysBeforeYear(year + 1) <= days) ++year;
  if (year > 30827) return E_INVALIDARG;
  SystemTime t;
  t.year = static_cast<std::uint16_t>(year);
  int dayOfYear = static_cast<int>(days - DaysBeforeYear(year));
  int month = 1;
  while (dayOfYear >= DaysInMonth(static_cast<int>(year), month)) {
    dayOfYear -= DaysInMonth(static_cast<int>(year), month);
    ++month;
  }
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(dayOfYear + 1);
  t.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
  t.hour = static_cast<std::uint16_t>(secondOfDay / 3600);
  t.minute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
  t.second = static_cast<std::uint16_t>(secondOfDay % 60);
  t.milliseconds = static_cast<std::uint16_t>(time % kFileTimeTicksPerSecond / 10000);
  *result = t;
  return S_OK;
}

Status SystemTimeToFileTime(const SystemTime& t, FileTime* result) {
  if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59 ||
      t.milliseconds > 999) {
    return E_INVALIDARG;
  }
  const std::int64_t days = DaysBeforeDate(t.year, t.month, t.day);
  const std::int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
  *result = static_cast<FileTime>(seconds) * kFileTimeTicksPerSecond +
            static_cast<FileTime>(t.milliseconds) * 10000;
  return S_OK;
}

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
  const std::int64_t since1601 = seconds + kUnixEpochInFileTimeSeconds;
  if (since1601 < 0) return 0;
  return static_cast<FileTime>(since1601) * kFileTimeTicksPerSecond +
         static_cast<FileTime>(nanoseconds / 100);
}

}  // namespace lumatag
