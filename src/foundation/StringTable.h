// The string table: every text shown to a person, every registry value name and every token word,
// keyed by identifiers 20992-24618. A StringModule is one language's table: the English table is
// built in; a translated one is read from a locale folder beside the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/CountedString.h"
#include "foundation/StringIds.h"
#include "foundation/StringTableText.h"

namespace lumatag {

class StringModule {
 public:
  StringModule() = default;

  // The English table compiled into the program.
  static const StringModule& BuiltIn();

  // Replaces the contents with a parsed table text; on failure the module is left empty and
  // `error` says where.
  bool LoadText(std::string_view text, StringTableError* error);
  // Reads a table file (UTF-8). E_FILE_NOT_FOUND when it cannot be opened, E_INVALIDARG when it
  // does not parse.
  Status LoadFile(const std::string& path, StringTableError* error);

  // Copies the stored entry, count character first, into `destination`: at most room - 1 units,
  // then a terminator. Returns the number of units copied (terminator not counted), 0 when the
  // entry is missing or there is no room.
  int Copy(std::uint16_t id, char16_t* destination, int room) const;

  bool Contains(std::uint16_t id) const { return Offset(id) >= 0; }
  // The entry's text, empty when missing.
  std::u16string_view Text(std::uint16_t id) const;
  // Every identifier present, ascending.
  std::vector<std::uint16_t> Ids() const;

 private:
  int Offset(std::uint16_t id) const {
    if (id < kFirstStringId || id > kLastStringId || offsets_.empty()) return -1;
    return offsets_[id - kFirstStringId];
  }

  // Entries back to back, each its count character and text; offsets_ is indexed by id - first.
  std::u16string storage_;
  std::vector<int> offsets_;
};

// Loads an entry into `target` (heap or fixed mode). A fixed target too small for the entry gives
// E_BUFFER_TOO_SMALL; a missing entry gives 0x80070716.
Status LoadString(const StringModule& module, std::uint16_t id, CountedString& target);
// Loads an entry into a fixed buffer of capacity 255 and appends it to `target`.
Status AppendString(const StringModule& module, std::uint16_t id, CountedString& target);

// Replaces the first "{n}" in `target` with the replacement text; the replacement is not searched
// by the same call. E_INVALIDARG for an absent replacement, E_INDEX_OUT_OF_RANGE for n > 99,
// 0x80070490 (text unchanged) when the placeholder is missing.
Status SubstitutePlaceholder(CountedString& target, int n, const char16_t* chars, int count);
Status SubstitutePlaceholder(CountedString& target, int n, const CountedString& replacement);
Status SubstitutePlaceholder(CountedString& target, int n, std::u16string_view replacement);
// The replacement is a string-table entry, loaded into a fixed buffer of capacity 255.
Status SubstitutePlaceholderEntry(CountedString& target, int n, const StringModule& module,
                                  std::uint16_t id);

}  // namespace lumatag
