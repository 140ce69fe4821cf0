// Benchmarks measure work that succeeds: a failed step ends the run instead of timing a failure.
#pragma once

#include <cstdlib>

#include "foundation/Status.h"

namespace lumatag {

inline void RequireSuccess(Status status) {
  if (Failed(status)) std::abort();
}

}  // namespace lumatag
