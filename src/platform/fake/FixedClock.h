// A clock for tests: always the time it was given, until it is given another.
#pragma once

#include "ports/Clock.h"

namespace lumatag {

class FixedClock final : public Clock {
 public:
  FixedClock() = default;
  explicit FixedClock(const SystemTime& now) : now_(now) {}

  SystemTime LocalNow() const override { return now_; }
  void Set(const SystemTime& now) { now_ = now; }

 private:
  SystemTime now_;
};

}  // namespace lumatag
