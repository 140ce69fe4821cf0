// The words recognised inside the square brackets of a pattern definition, each with its code.
// The words are the string table's own texts, so they follow the table that built the keyword
// table; they are compared exactly and case-sensitively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Status.h"

namespace lumatag {

class StringModule;

// Keyword codes.
inline constexpr std::uint16_t kKeywordNone = 0;
inline constexpr std::uint16_t kKeywordName = 1;      // head: a name token
inline constexpr std::uint16_t kKeywordDate = 2;      // head: a date token
inline constexpr std::uint16_t kKeywordMetadata = 4;  // head: a metadata token
inline constexpr std::uint16_t kKeywordAuto = 6;      // number suffix: auto-incrementing
inline constexpr std::uint16_t kKeywordBase = 7;      // name suffix: the user's base name
inline constexpr std::uint16_t kKeywordFile = 8;      // date suffix: the file's creation date
inline constexpr std::uint16_t kKeywordOrig = 9;      // name or number suffix: the original name
inline constexpr std::uint16_t kKeywordPic = 10;      // date suffix: the picture-taken date
inline constexpr std::uint16_t kFirstMetadataKeyword = 11;
inline constexpr std::uint16_t kLastMetadataKeyword = 39;

// The metadata tag of a keyword code; 0xFFFF for codes that name no metadata item.
std::uint16_t MetadataTagForKeyword(std::uint16_t code);
// The keyword code of a metadata tag; kKeywordNone when no keyword names it.
std::uint16_t KeywordForMetadataTag(std::uint16_t tag);
// The string-table id of a keyword's word; 0 for an unknown code.
std::uint16_t KeywordStringId(std::uint16_t code);

class KeywordTable {
 public:
  static constexpr int kKeywordCount = 37;
  static constexpr int kBucketCount = 128;

  // Loads every word from `module`, in the table's stored order. A missing entry gives
  // 0x80070716 and leaves the table empty. An empty word is never a keyword; of two equal words
  // the first one stored wins.
  Status Build(const StringModule& module);
  bool IsBuilt() const { return built_; }

  // The code of `word`, or kKeywordNone.
  std::uint16_t Lookup(std::u16string_view word) const;
  // The word of a code, empty when the code is unknown.
  std::u16string_view Word(std::uint16_t code) const;

 private:
  struct Entry {
    std::uint32_t offset = 0;
    std::uint16_t length = 0;
    std::uint16_t code = 0;
    std::int16_t next = -1;  // next entry in the same bucket
  };
  static unsigned Hash(std::u16string_view word);
  std::u16string_view EntryWord(const Entry& entry) const {
    return std::u16string_view(words_).substr(entry.offset, entry.length);
  }

  std::u16string words_;
  std::array<Entry, kKeywordCount> entries_{};
  std::array<std::int16_t, kBucketCount> buckets_{};
  int count_ = 0;
  bool built_ = false;
};

}  // namespace lumatag
