#include "foundation/StringTableText.h"

#include <set>

#include "foundation/CountedString.h"

namespace lumatag {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(std::string_view raw, std::u16string* out, std::string* problem) {
  std::string plain;
  std::u16string result;
  auto flush = [&] {
    result += Utf8ToUtf16(plain);
    plain.clear();
  };
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      plain += raw[i];
      continue;
    }
    if (i + 1 >= raw.size()) {
      *problem = "a backslash ends the line";
      return false;
    }
    const char e = raw[++i];
    switch (e) {
      case '\\':
        plain += '\\';
        break;
      case 'n':
        plain += '\n';
        break;
      case 't':
        plain += '\t';
        break;
      case 'r':
        plain += '\r';
        break;
      case 'u': {
        if (raw.size() - i - 1 < 4) {
          *problem = "\\u needs four hexadecimal digits";
          return false;
        }
        int code = 0;
        for (int k = 1; k <= 4; ++k) {
          const int h = HexValue(raw[i + static_cast<std::size_t>(k)]);
          if (h < 0) {
            *problem = "\\u needs four hexadecimal digits";
            return false;
          }
          code = code * 16 + h;
        }
        i += 4;
        flush();
        result += static_cast<char16_t>(code);
        break;
      }
      default:
        *problem = std::string("unknown escape \\") + e;
        return false;
    }
  }
  flush();
  *out = std::move(result);
  return true;
}

bool ValidName(std::string_view name) {
  for (char c : name) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

}  // namespace

bool ParseStringTableText(std::string_view text, std::vector<StringTableEntry>* entries,
                          StringTableError* error) {
  entries->clear();
  *error = {};
  std::set<std::uint16_t> ids;
  std::set<std::string> names;
  int lineNumber = 0;
  auto fail = [&](std::string message) {
    error->line = lineNumber;
    error->message = std::move(message);
    return false;
  };
  // A byte-order mark at the start is allowed.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;

    const std::size_t tab1 = line.find('\t');
    if (tab1 == std::string_view::npos) return fail("no tab after the identifier");
    const std::size_t tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) return fail("no tab after the name");
    const std::string_view idText = line.substr(0, tab1);
    const std::string_view name = line.substr(tab1 + 1, tab2 - tab1 - 1);

    if (idText.empty() || idText.size() > 5) return fail("the identifier is not a number");
    unsigned id = 0;
    for (char c : idText) {
      if (c < '0' || c > '9') return fail("the identifier is not a number");
      id = id * 10 + static_cast<unsigned>(c - '0');
    }
    if (id < kFirstStringId || id > kLastStringId) {
      return fail("the identifier is outside 20992-24618");
    }
    if (!ids.insert(static_cast<std::uint16_t>(id)).second) return fail("a duplicate identifier");
    if (!ValidName(name)) return fail("the name may hold only A-Z, 0-9 and _");
    if (!name.empty() && !names.insert(std::string(name)).second) return fail("a duplicate name");

    StringTableEntry entry;
    entry.id = static_cast<std::uint16_t>(id);
    entry.name = std::string(name);
    std::string problem;
    if (!Unescape(line.substr(tab2 + 1), &entry.text, &problem)) return fail(problem);
    if (entry.text.size() > static_cast<std::size_t>(CountedString::kMaxLength)) {
      return fail("the text is longer than 65,533 characters");
    }
    entries->push_back(std::move(entry));
  }
  return true;
}

std::string EscapeStringTableText(std::u16string_view text) {
  std::string out;
  for (char c : Utf16ToUtf8(text)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace lumatag
