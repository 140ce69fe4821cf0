// The settings hive text (a file the person may edit by hand): parsing never crashes or reads past
// the input, and whatever was read writes out to a text that reads back without damage to the
// same text. Sections nested past the registry's depth are damage, and the text written is never
// much larger than the text read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/HiveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  lumatag::HiveParseReport report;
  const auto root = lumatag::ParseHive(text, &report);
  const std::string written = lumatag::FormatHive(*root);
  // Escaping a control character takes at most six bytes for one; nothing else grows.
  if (written.size() > 6 * size + 64) __builtin_trap();
  lumatag::HiveParseReport again;
  const auto back = lumatag::ParseHive(written, &again);
  if (again.Damaged()) __builtin_trap();
  if (lumatag::FormatHive(*back) != written) __builtin_trap();
  return 0;
}
