// The system's real-time clock in the local time zone.
#pragma once

#include "ports/Clock.h"

namespace lumatag {

class SystemClock final : public Clock {
 public:
  SystemTime LocalNow() const override;
};

}  // namespace lumatag
