// The name of a crash report, "LTGv1_" + local time "yyyyMMddHHmmss" + ".dmp", computed without
// any library call so that the crash handler can use it at the moment of a crash.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumatag {

struct CivilTime {
  std::int64_t year;
  int month;  // 1 to 12
  int day;    // 1 to 31
  int hour;
  int minute;
  int second;
};

// The calendar date and time of `seconds` since 1970-01-01 00:00:00 (proleptic Gregorian).
CivilTime CivilFromSeconds(std::int64_t seconds);

// "LTGv1_" + 14 digits + ".dmp" and the terminating NUL.
inline constexpr std::size_t kReportNameSize = 25;

// Writes the report name for the UTC time `utcSeconds` seen in a zone `utcOffsetSeconds` east of
// UTC. Years outside 0 to 9999 are written modulo 10,000.
void FormatReportName(std::int64_t utcSeconds, std::int64_t utcOffsetSeconds,
                      char (&name)[kReportNameSize]);

}  // namespace lumatag
