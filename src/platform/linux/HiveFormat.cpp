#include "platform/linux/HiveFormat.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace lumatag {

namespace {

constexpr std::string_view kHeader = "Lumatag Settings Hive 1";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::size_t kBytesPerLine = 24;

// --- Text helpers
// ---------------------------------------------------------------------------------

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `count` hex digits at text[at]; false when any is missing.
bool ReadHex(std::string_view text, std::size_t at, int count, std::uint32_t* value) {
  if (at + static_cast<std::size_t>(count) > text.size()) return false;
  std::uint32_t v = 0;
  for (int i = 0; i < count; ++i) {
    const int d = HexDigit(text[at + static_cast<std::size_t>(i)]);
    if (d < 0) return false;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  *value = v;
  return true;
}

// Decodes one UTF-8 sequence at text[*at] strictly (no overlong forms, no encoded surrogates)
// and appends it as UTF-16.
bool DecodeUtf8(std::string_view text, std::size_t* at, std::u16string* out) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(*at);
  std::uint32_t cp = 0;
  int extra = 0;
  std::uint32_t min = 0;
  if (b0 < 0x80) {
    out->push_back(b0);
    ++*at;
    return true;
  } else if ((b0 & 0xE0) == 0xC0) {
    cp = b0 & 0x1F;
    extra = 1;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    cp = b0 & 0x0F;
    extra = 2;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    cp = b0 & 0x07;
    extra = 3;
    min = 0x10000;
  } else {
    return false;
  }
  if (*at + static_cast<std::size_t>(extra) >= text.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const unsigned char b = byte(*at + static_cast<std::size_t>(i));
    if ((b & 0xC0) != 0x80) return false;
    cp = cp << 6 | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out->push_back(static_cast<char16_t>(cp));
  }
  *at += static_cast<std::size_t>(extra) + 1;
  return true;
}

void AppendUtf8(std::uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | cp >> 6));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | cp >> 12));
    out->push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | cp >> 18));
    out->push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Writes UTF-16 text as UTF-8, handing every unit that must be escaped (`escape` says which) to
// `escaped`.
template <class Escape, class Escaped>
void EncodeText(std::u16string_view text, std::string* out, Escape&& escape, Escaped&& escaped) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(
          0x10000 + ((static_cast<std::uint32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
      ++i;
    } else if (escape(c)) {
      escaped(c);
    } else {
      AppendUtf8(c, out);
    }
  }
}

bool IsControl(char16_t c) {
  return c < 0x20 || c == 0x7F;
}
bool IsSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

void AppendQuoted(std::u16string_view text, std::string* out) {
  out->push_back('"');
  EncodeText(
      text, out,
      [](char16_t c) { return c == u'\\' || c == u'"' || IsControl(c) || IsSurrogate(c); },
      [out](char16_t c) {
        if (c == u'\\' || c == u'"') {
          out->push_back('\\');
          out->push_back(static_cast<char>(c));
        } else {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
          out->append(buffer);
        }
      });
  out->push_back('"');
}

void AppendKeyName(std::u16string_view name, std::string* out) {
  EncodeText(
      name, out, [](char16_t c) { return c == u'%' || IsControl(c) || IsSurrogate(c); },
      [out](char16_t c) {
        char buffer[8];
        if (c < 0x100) {
          std::snprintf(buffer, sizeof buffer, "%%%02X", static_cast<unsigned>(c));
        } else {
          std::snprintf(buffer, sizeof buffer, "%%u%04X", static_cast<unsigned>(c));
        }
        out->append(buffer);
      });
}

// Reads a quoted text starting at text[*at] (the opening quote); *at ends after the closing quote.
bool ReadQuoted(std::string_view text, std::size_t* at, std::u16string* out) {
  if (*at >= text.size() || text[*at] != '"') return false;
  std::size_t i = *at + 1;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"') {
      *at = i + 1;
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= text.size()) return false;
      const char next = text[i + 1];
      if (next == '\\' || next == '"') {
        out->push_back(static_cast<char16_t>(next));
        i += 2;
      } else if (next == 'u') {
        std::uint32_t unit = 0;
        if (!ReadHex(text, i + 2, 4, &unit)) return false;
        out->push_back(static_cast<char16_t>(unit));
        i += 6;
      } else {
        return false;
      }
    } else if (!DecodeUtf8(text, &i, out)) {
      return false;
    }
  }
  return false;
}

bool ReadKeyName(std::string_view text, std::u16string* out) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '%') {
      std::uint32_t unit = 0;
      if (i + 1 < text.size() && text[i + 1] == 'u') {
        if (!ReadHex(text, i + 2, 4, &unit)) return false;
        i += 6;
      } else {
        if (!ReadHex(text, i + 1, 2, &unit)) return false;
        i += 3;
      }
      out->push_back(static_cast<char16_t>(unit));
    } else if (!DecodeUtf8(text, &i, out)) {
      return false;
    }
  }
  return !out->empty() && out->size() <= kMaxRegistryKeyName &&
         out->find(u'\\') == std::u16string::npos;
}

// "xx,xx,..." (possibly empty), blanks allowed around the commas.
bool ReadHexList(std::string_view text, std::vector<std::uint8_t>* out) {
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i == text.size()) return true;
  while (true) {
    std::uint32_t byte = 0;
    if (!ReadHex(text, i, 2, &byte)) return false;
    out->push_back(static_cast<std::uint8_t>(byte));
    if (out->size() > kMaxRegistryValueData) return false;
    i += 2;
    skipBlanks();
    if (i == text.size()) return true;
    if (text[i] != ',') return false;
    ++i;
    skipBlanks();
  }
}

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2 + 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

// A value line: `"name"=data` or `@=data`.
bool ReadValueLine(std::string_view line, RegistryValue* value) {
  std::size_t at = 0;
  if (line[0] == '@') {
    at = 1;
  } else if (!ReadQuoted(line, &at, &value->name)) {
    return false;
  }
  if (value->name.size() > kMaxRegistryValueName) return false;
  if (at >= line.size() || line[at] != '=') return false;
  const std::string_view data = line.substr(at + 1);
  if (!data.empty() && data[0] == '"') {
    std::size_t end = 0;
    std::u16string text;
    if (!ReadQuoted(data, &end, &text) || end != data.size()) return false;
    if (text.find(u'\0') != std::u16string::npos) return false;
    if ((text.size() + 1) * 2 > kMaxRegistryValueData) return false;
    value->type = REG_SZ;
    value->data = Utf16Bytes(text);
    return true;
  }
  if (data.substr(0, 6) == "dword:") {
    std::uint32_t v = 0;
    if (data.size() != 14 || !ReadHex(data, 6, 8, &v)) return false;
    value->type = REG_DWORD;
    value->data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    return true;
  }
  if (data.substr(0, 4) == "hex:") {
    value->type = REG_BINARY;
    return ReadHexList(data.substr(4), &value->data);
  }
  if (data.substr(0, 4) == "hex(") {
    const std::size_t close = data.find("):");
    if (close == std::string_view::npos || close < 5 || close > 12) return false;
    std::uint32_t type = 0;
    if (!ReadHex(data, 4, static_cast<int>(close - 4), &type)) return false;
    value->type = type;
    return ReadHexList(data.substr(close + 2), &value->data);
  }
  return false;
}

// Finds keys and values by their folded names while a text is read, so that reading stays
// linear however many values or subkeys one key has. Subkeys are appended as they come and put in
// their order once at the end.
class ParseIndex {
 public:
  RegistryNode* Subkey(RegistryNode* parent, std::u16string name) {
    auto& subkeys = nodes_[parent].subkeys;
    const auto [it, added] = subkeys.try_emplace(FoldRegistryName(name), nullptr);
    if (added) {
      parent->subkeys.push_back(std::make_unique<RegistryNode>());
      parent->subkeys.back()->name = std::move(name);
      it->second = parent->subkeys.back().get();
    }
    return it->second;
  }

  // Sets a value, replacing one of the same name (whose stored spelling is kept).
  void SetValue(RegistryNode* node, RegistryValue value) {
    auto& values = nodes_[node].values;
    const auto [it, added] = values.try_emplace(FoldRegistryName(value.name), node->values.size());
    if (added) {
      node->values.push_back(std::move(value));
    } else {
      RegistryValue& old = node->values[it->second];
      old.type = value.type;
      old.data = std::move(value.data);
    }
  }

  // Sorts the subkeys of every key that was given some.
  void SortSubkeys() {
    for (auto& [node, index] : nodes_) {
      if (node->subkeys.size() < 2) continue;
      std::sort(node->subkeys.begin(), node->subkeys.end(),
                [](const std::unique_ptr<RegistryNode>& a, const std::unique_ptr<RegistryNode>& b) {
                  return CompareRegistryNames(a->name, b->name) < 0;
                });
    }
  }

 private:
  struct NodeIndex {
    std::unordered_map<std::u16string, RegistryNode*> subkeys;
    std::unordered_map<std::u16string, std::size_t> values;
  };
  std::unordered_map<RegistryNode*, NodeIndex> nodes_;
};

// A section line's path: HKEY_CURRENT_USER and the key names below it.
RegistryNode* ReadSection(std::string_view path, RegistryNode* root, ParseIndex* index) {
  // Deeper than the registry nests keys: damage, refused before any name is read.
  if (static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) > kMaxRegistryDepth) {
    return nullptr;
  }
  std::vector<std::u16string> names;
  std::size_t start = 0;
  bool first = true;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view part =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (first) {
      if (part != kRootName) return nullptr;
      first = false;
    } else {
      std::u16string name;
      if (!ReadKeyName(part, &name)) return nullptr;
      names.push_back(std::move(name));
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  RegistryNode* node = root;
  for (std::u16string& name : names) node = index->Subkey(node, std::move(name));
  return node;
}

void AppendHexData(const std::vector<std::uint8_t>& data, std::string* out) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02x", data[i]);
    out->append(buffer);
    if (i + 1 < data.size()) {
      out->push_back(',');
      if ((i + 1) % kBytesPerLine == 0) out->append("\\\n  ");
    }
  }
}

// The REG_SZ data as a quotable text: whole 16-bit units, exactly one NUL, at the end.
bool PlainString(const std::vector<std::uint8_t>& data, std::u16string* text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  const std::size_t units = data.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    if ((c == 0) != (i + 1 == units)) return false;
    if (c != 0) text->push_back(c);
  }
  return true;
}

void AppendValue(const RegistryValue& value, std::string* out) {
  if (value.name.empty()) {
    out->push_back('@');
  } else {
    AppendQuoted(value.name, out);
  }
  out->push_back('=');
  std::u16string text;
  if (value.type == REG_SZ && PlainString(value.data, &text)) {
    AppendQuoted(text, out);
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    char buffer[16];
    const std::uint32_t v = static_cast<std::uint32_t>(value.data[0]) |
                            static_cast<std::uint32_t>(value.data[1]) << 8 |
                            static_cast<std::uint32_t>(value.data[2]) << 16 |
                            static_cast<std::uint32_t>(value.data[3]) << 24;
    std::snprintf(buffer, sizeof buffer, "dword:%08x", v);
    out->append(buffer);
  } else {
    if (value.type == REG_BINARY) {
      out->append("hex:");
    } else {
      char buffer[24];
      std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
      out->append(buffer);
    }
    AppendHexData(value.data, out);
  }
  out->push_back('\n');
}

// The sections of every key below `top` (whose path is `path`), depth first in name order, by a
// list of keys still to write rather than by recursion. A key gets its own section when it has
// values or no subkeys; the others are named by their subkeys' sections. So every path in the
// text is one a section of the text it was read from named, and the text never grows many times
// larger than that text.
void AppendSubkeys(const RegistryNode& top, const std::string& path, std::string* out) {
  struct Pending {
    const RegistryNode* node;
    std::size_t pathLength;  // of the parent's path, which `prefix` holds at this moment
  };
  std::string prefix = path;
  std::vector<Pending> pending;
  for (auto it = top.subkeys.rbegin(); it != top.subkeys.rend(); ++it) {
    pending.push_back({it->get(), prefix.size()});
  }
  while (!pending.empty()) {
    const Pending next = pending.back();
    pending.pop_back();
    prefix.resize(next.pathLength);
    prefix.push_back('\\');
    AppendKeyName(next.node->name, &prefix);
    if (!next.node->values.empty() || next.node->subkeys.empty()) {
      out->append("[").append(prefix).append("]\n");
      for (const RegistryValue& value : next.node->values) AppendValue(value, out);
      out->push_back('\n');
    }
    const std::size_t length = prefix.size();
    for (auto it = next.node->subkeys.rbegin(); it != next.node->subkeys.rend(); ++it) {
      pending.push_back({it->get(), length});
    }
  }
}

}  // namespace

std::unique_ptr<RegistryNode> ParseHive(std::string_view text, HiveParseReport* report) {
  HiveParseReport local;
  if (report == nullptr) report = &local;
  *report = {};
  auto root = std::make_unique<RegistryNode>();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  ParseIndex index;
  RegistryNode* current = nullptr;
  bool headerSeen = false;
  int lineNumber = 0;
  std::size_t at = 0;
  int lastBad = 0;
  const auto bad = [&](int line) {
    if (line == lastBad) return;  // one count per line
    lastBad = line;
    if (report->badLines++ == 0) report->firstBadLine = line;
  };
  const auto nextLine = [&](std::string_view* line) {
    if (at >= text.size()) return false;
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    *line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    while (!line->empty() &&
           (line->back() == '\r' || line->back() == ' ' || line->back() == '\t')) {
      line->remove_suffix(1);
    }
    return true;
  };

  std::string_view physical;
  while (nextLine(&physical)) {
    const int startLine = lineNumber;
    std::string joined;
    std::string_view line = physical;
    // A trailing backslash continues the line on the next one.
    if (!line.empty() && line.back() == '\\') {
      joined.assign(line.substr(0, line.size() - 1));
      bool ended = false;
      while (!ended) {
        std::string_view more;
        if (!nextLine(&more)) break;
        std::size_t skip = 0;
        while (skip < more.size() && (more[skip] == ' ' || more[skip] == '\t')) ++skip;
        more.remove_prefix(skip);
        if (!more.empty() && more.back() == '\\') {
          joined.append(more.substr(0, more.size() - 1));
        } else {
          joined.append(more);
          ended = true;
        }
        if (joined.size() > 8 * kMaxRegistryValueData) break;
      }
      if (!ended) {
        bad(startLine);
        continue;
      }
      line = joined;
    }
    std::size_t lead = 0;
    while (lead < line.size() && (line[lead] == ' ' || line[lead] == '\t')) ++lead;
    line.remove_prefix(lead);
    if (line.empty() || line[0] == ';') continue;
    if (!headerSeen) {
      headerSeen = true;
      if (line == kHeader) continue;
      bad(startLine);
    }
    if (line[0] == '[') {
      current = line.size() >= 2 && line.back() == ']'
                    ? ReadSection(line.substr(1, line.size() - 2), root.get(), &index)
                    : nullptr;
      if (current == nullptr) bad(startLine);
      continue;
    }
    if (line[0] != '"' && line[0] != '@') {
      bad(startLine);
      continue;
    }
    RegistryValue value;
    if (current == nullptr || !ReadValueLine(line, &value)) {
      bad(startLine);
      continue;
    }
    index.SetValue(current, std::move(value));
  }
  index.SortSubkeys();
  return root;
}

std::string FormatHive(const RegistryNode& root) {
  std::string out(kHeader);
  out.append("\n\n");
  if (!root.values.empty()) {
    out.append("[").append(kRootName).append("]\n");
    for (const RegistryValue& value : root.values) AppendValue(value, &out);
    out.push_back('\n');
  }
  AppendSubkeys(root, std::string(kRootName), &out);
  return out;
}

}  // namespace lumatag
