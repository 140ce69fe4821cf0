// Calendar date-times and file times.
//
// SystemTime: eight unsigned 16-bit fields — year, month (1-12), day of week (0 = Sunday), day
// (1-31), hour, minute, second, milliseconds. FileTime: 100-nanosecond intervals since
// 1601-01-01 00:00:00, the start of the file-time scale.
#pragma once

#include <cstdint>

#include "foundation/Status.h"

namespace lumatag {

struct SystemTime {
  std::uint16_t year = 1601;
  std::uint16_t month = 1;
  std::uint16_t dayOfWeek = 1;  // 1601-01-01 was a Monday
  std::uint16_t day = 1;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;

  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

using FileTime = std::uint64_t;

inline constexpr FileTime kFileTimeTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to the Unix epoch 1970-01-01.
inline constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11'644'473'600;

// The calendar fields of a file time (no time-zone step). Times past year 30827 give E_INVALIDARG.
Status FileTimeToSystemTime(FileTime time, SystemTime* result);
// A file time from calendar fields; the day of week is ignored. Fields out of range (month 13,
// day 31 in a 30-day month, hour 24, year before 1601 or after 30827, ...) give E_INVALIDARG.
Status SystemTimeToFileTime(const SystemTime& time, FileTime* result);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Day of week (0 = Sunday) of a valid date.
int DayOfWeek(int year, int month, int day);

// File time from Unix seconds and nanoseconds (times before 1601 clamp to 0).
FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

}  // namespace lumatag
