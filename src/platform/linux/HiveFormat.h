// The text form of the settings hive: the registry export syntax, one key section after another.
//
//   Lumatag Settings Hive 1
//
//   [HKEY_CURRENT_USER\Software\Quarrytree Software\Lumatag]
//   "File Check Beeps"=dword:00000001
//   "Image Folder"="/home/ann/Pictures"
//   "Update Check Last"=hex:00,80,3e,d5,de,b1,9d,01
//   "Odd"=hex(2):25,00,48,00,00,00
//
// Key sections name the full path; a section also makes the keys on its path. Every key with
// values, and every key without subkeys, has its own section. Keys nest at most 512 deep; a
// deeper section is damage. Value lines:
// `"name"=` (or `@=` for the unnamed value), then `dword:` and eight hex digits (REG_DWORD of four
// bytes), a quoted string (REG_SZ holding exactly one terminating NUL at its end), `hex:` bytes
// (REG_BINARY) or `hex(N):` bytes for any other type or layout, N being the type number in hex;
// long byte lists continue on the next line after a trailing backslash. Quoted text escapes `\\`,
// `\"` and `\uXXXX` (control characters and unpaired surrogates); key names escape `%` as `%25` and
// use
// `%XX` / `%uXXXX` the same way. Lines starting with `;` are comments. The text is UTF-8.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/RegistryTree.h"

namespace lumatag {

struct HiveParseReport {
  // Lines that could not be read (their contents are skipped), and the first of them (1-based).
  int badLines = 0;
  int firstBadLine = 0;
  bool Damaged() const { return badLines > 0; }
};

// Reads every well-formed section and value of `text` into a new tree; whatever cannot be read is
// counted in `report` and skipped, so that everything readable is kept. Never fails.
std::unique_ptr<RegistryNode> ParseHive(std::string_view text, HiveParseReport* report);

// The text of a tree; ParseHive reads it back to an equal tree.
std::string FormatHive(const RegistryNode& root);

}  // namespace lumatag
