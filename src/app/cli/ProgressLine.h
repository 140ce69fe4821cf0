// A progress line on standard error for long work: shown only when standard error is a terminal
// and the work has taken longer than half a second, redrawn at most ten times a second, and erased
// when the work ends or before other output.
#pragma once

#include <chrono>
#include <cstdint>

#include "foundation/StringTable.h"

namespace lumatag::cli {

class ProgressLine {
 public:
  explicit ProgressLine(const StringModule& strings);
  ~ProgressLine() { Erase(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // The string-table text `id` with {1} and {2} filled in by the two counts.
  void Show(std::uint16_t id, std::uint32_t first, std::uint32_t second);
  // Takes the line off the terminal (before other output, and at the end).
  void Erase();

 private:
  const StringModule& strings_;
  bool terminal_ = false;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace lumatag::cli
