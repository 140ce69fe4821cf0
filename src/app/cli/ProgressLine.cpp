#include "app/cli/ProgressLine.h"

#include <unistd.h>

#include <cstdio>

#include "app/cli/CliCommon.h"
#include "foundation/Numbers.h"

namespace lumatag::cli {

namespace {
constexpr auto kDelay = std::chrono::milliseconds(500);
constexpr auto kInterval = std::chrono::milliseconds(100);
}  // namespace

ProgressLine::ProgressLine(const StringModule& strings)
    : strings_(strings),
      terminal_(isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()) {}

void ProgressLine::Show(std::uint16_t id, std::uint32_t first, std::uint32_t second) {
  if (!terminal_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < kDelay || now - last_ < kInterval) return;
  last_ = now;
  CountedString text;
  CountedString number;
  if (Failed(LoadString(strings_, id, text)) || Failed(FormatUInt32(number, first)) ||
      Failed(SubstitutePlaceholder(text, 1, number)) || Failed(FormatUInt32(number, second)) ||
      Failed(SubstitutePlaceholder(text, 2, number))) {
    return;
  }
  std::fprintf(ErrorOutput(), "\r\033[K%s", Utf16ToUtf8(text.View()).c_str());
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Erase() {
  if (!shown_) return;
  std::fprintf(ErrorOutput(), "\r\033[K");
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace lumatag::cli
