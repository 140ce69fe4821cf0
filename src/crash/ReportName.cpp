#include "crash/ReportName.h"

#include <time.h>

namespace lumatag {

namespace {

void PutDigits(char* out, std::int64_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

std::int64_t LocalOffset(std::int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  tm local{};
  return localtime_r(&t, &local) != nullptr ? local.tm_gmtoff : 0;
}

}  // namespace

void UtcOffsetTable::Build(std::int64_t fromSeconds, int days) {
  first_ = LocalOffset(fromSeconds);
  count_ = 0;
  std::int64_t previous = first_;
  std::int64_t low = fromSeconds;
  for (int day = 1; day <= days && count_ < kMaxChanges; ++day) {
    const std::int64_t high = fromSeconds + std::int64_t{day} * 86400;
    const std::int64_t offset = LocalOffset(high);
    if (offset != previous) {
      // The change lies in (low, high]: find its first second.
      std::int64_t a = low;
      std::int64_t b = high;
      while (b - a > 1) {
        const std::int64_t middle = a + (b - a) / 2;
        if (LocalOffset(middle) == previous) {
          a = middle;
        } else {
          b = middle;
        }
      }
      changeAt_[count_] = b;
      offsetFrom_[count_] = offset;
      ++count_;
      previous = offset;
    }
    low = high;
  }
}

std::int64_t UtcOffsetTable::OffsetAt(std::int64_t utcSeconds) const {
  std::int64_t offset = first_;
  for (int i = 0; i < count_ && utcSeconds >= changeAt_[i]; ++i) offset = offsetFrom_[i];
  return offset;
}

CivilTime CivilFromSeconds(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Days since 1970-01-01 to a date, in eras of 400 years starting on 1 March.
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  CivilTime time{};
  time.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  time.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  time.year = yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0);
  time.hour = static_cast<int>(rest / 3600);
  time.minute = static_cast<int>(rest / 60 % 60);
  time.second = static_cast<int>(rest % 60);
  return time;
}

void FormatReportName(std::int64_t utcSeconds, std::int64_t utcOffsetSeconds,
                      char (&name)[kReportNameSize]) {
  const CivilTime t = CivilFromSeconds(utcSeconds + utcOffsetSeconds);
  const char prefix[] = "LTGv1_";
  for (int i = 0; i < 6; ++i) name[i] = prefix[i];
  std::int64_t year = t.year % 10000;
  if (year < 0) year += 10000;
  PutDigits(name + 6, year, 4);
  PutDigits(name + 10, t.month, 2);
  PutDigits(name + 12, t.day, 2);
  PutDigits(name + 14, t.hour, 2);
  PutDigits(name + 16, t.minute, 2);
  PutDigits(name + 18, t.second, 2);
  name[20] = '.';
  name[21] = 'd';
  name[22] = 'm';
  name[23] = 'p';
  name[24] = '\0';
}

}  // namespace lumatag
