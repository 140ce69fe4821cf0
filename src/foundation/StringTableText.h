// The text form of a string table, shared by the built-in English table (turned into code at build
// time) and the translated tables in locale folders beside the program.
//
// UTF-8, one entry per line: identifier, TAB, symbolic name (may be empty in translations), TAB,
// text. Lines starting with "#" and empty lines are ignored; a CR before the LF is dropped. In the
// text, "\\", "\n", "\t", "\r" and "\uXXXX" (four hexadecimal digits) stand for a backslash, a line
// feed, a tab, a carriage return and any character by code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumatag {

inline constexpr std::uint16_t kFirstStringId = 20992;
inline constexpr std::uint16_t kLastStringId = 24618;

struct StringTableEntry {
  std::uint16_t id = 0;
  std::string name;
  std::u16string text;
};

struct StringTableError {
  int line = 0;         // 1-based; 0 when there is no error
  std::string message;  // what is wrong, in English, for the developer or translator
};

// Parses a whole table. Entries come back in file order. On the first malformed line, returns
// false with the line and what is wrong; never reads past `text`.
bool ParseStringTableText(std::string_view text, std::vector<StringTableEntry>* entries,
                          StringTableError* error);

// The text of an entry written back in the table's escaped form (also what `strings` prints).
std::string EscapeStringTableText(std::u16string_view text);

}  // namespace lumatag
