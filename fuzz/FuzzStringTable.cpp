// The string-table text (translated tables come from files beside the program): parsing never
// crashes or reads past the input, and what parses loads and escapes back cleanly.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/StringTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  lumatag::StringModule module;
  lumatag::StringTableError error;
  if (module.LoadText(text, &error)) {
    for (std::uint16_t id : module.Ids()) {
      lumatag::MessageString fixed;
      lumatag::CountedString heap;
      IgnoreStatus(lumatag::LoadString(module, id, fixed));
      if (lumatag::Failed(lumatag::LoadString(module, id, heap))) __builtin_trap();
      if (heap.View() != module.Text(id)) __builtin_trap();
      (void)lumatag::EscapeStringTableText(heap.View());
    }
  }
  return 0;
}
