#include "platform/linux/SystemClock.h"

#include <time.h>

#include <cstdint>

namespace lumatag {

SystemTime SystemClock::LocalNow() const {
  struct timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm local {};
  SystemTime time;
  if (localtime_r(&now.tv_sec, &local) == nullptr) return time;
  time.year = static_cast<std::uint16_t>(local.tm_year + 1900);
  time.month = static_cast<std::uint16_t>(local.tm_mon + 1);
  time.dayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  time.day = static_cast<std::uint16_t>(local.tm_mday);
  time.hour = static_cast<std::uint16_t>(local.tm_hour);
  time.minute = static_cast<std::uint16_t>(local.tm_min);
  // A leap second shows as the last second of its minute.
  time.second = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  time.milliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1'000'000);
  return time;
}

}  // namespace lumatag
