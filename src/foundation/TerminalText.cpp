#include "foundation/TerminalText.h"

#include <cstdio>

#include "foundation/CountedString.h"

namespace lumatag {

std::string EscapeTerminalText(std::u16string_view text, TerminalEscape mode) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  const auto flush = [&](std::size_t end) {
    if (end > start) out += Utf16ToUtf8(text.substr(start, end - start));
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    char code[8];
    const char* replacement = nullptr;
    const bool message = mode == TerminalEscape::kMessage;
    if (c == u'\\') {
      if (message) continue;
      replacement = "\\\\";
    } else if (c == u'\n') {
      if (message) continue;
      replacement = "\\n";
    } else if (c == u'\t') {
      replacement = "\\t";
    } else if (c < 0x20 || c == 0x7F ||
               (c >= 0xDC80 && c <= 0xDCFF &&
                !(i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF))) {
      std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(c & 0xFF));
      replacement = code;
    } else if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029) {
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      replacement = code;
    }
    if (replacement == nullptr) continue;
    flush(i);
    out += replacement;
    start = i + 1;
  }
  flush(text.size());
  return out;
}

}  // namespace lumatag
