// Port: the clock. The current local date and time, for schedules and report names; tests set it.
#pragma once

#include "foundation/SystemTime.h"

namespace lumatag {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time.
  virtual SystemTime LocalNow() const = 0;
};

}  // namespace lumatag
