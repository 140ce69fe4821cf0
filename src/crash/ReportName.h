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

// The local zone's offset from UTC over the coming months, taken from the C library at
// installation so that the crash handler can tell local time without it (summer time included).
class UtcOffsetTable {
 public:
  static constexpr int kMaxChanges = 16;

  // Reads the offset at `fromSeconds` and every change of it during the following `days` days.
  // Not for a signal handler (it asks the C library).
  void Build(std::int64_t fromSeconds, int days);
  // The offset in seconds east of UTC at `utcSeconds`; no library calls.
  std::int64_t OffsetAt(std::int64_t utcSeconds) const;

 private:
  std::int64_t first_ = 0;
  int count_ = 0;
  std::int64_t changeAt_[kMaxChanges] = {};
  std::int64_t offsetFrom_[kMaxChanges] = {};
};

// "LTGv1_" + 14 digits + ".dmp" and the terminating NUL.
inline constexpr std::size_t kReportNameSize = 25;

// Writes the report name for the UTC time `utcSeconds` seen in a zone `utcOffsetSeconds` east of
// UTC. Years outside 0 to 9999 are written modulo 10,000.
void FormatReportName(std::int64_t utcSeconds, std::int64_t utcOffsetSeconds,
                      char (&name)[kReportNameSize]);

}  // namespace lumatag
