#include "patterns/KeywordTable.h"

#include "foundation/StringTable.h"

namespace lumatag {

namespace {

struct KeywordDefinition {
  std::uint16_t stringId;
  std::uint16_t code;
  std::uint16_t tag;
};

// The keywords in their stored order. "Compression" is a metadata name of the catalogue but not a
// pattern keyword; its tag can still be written by number.
constexpr KeywordDefinition kKeywords[KeywordTable::kKeywordCount] = {
    {IDS_KW_NAME, kKeywordName, 0xFFFF},
    {IDS_KW_DATE, kKeywordDate, 0xFFFF},
    {IDS_KW_METADATA, kKeywordMetadata, 0xFFFF},
    {IDS_KW_AUTO, kKeywordAuto, 0xFFFF},
    {IDS_KW_BASE, kKeywordBase, 0xFFFF},
    {IDS_KW_FILE, kKeywordFile, 0xFFFF},
    {IDS_KW_ORIG, kKeywordOrig, 0xFFFF},
    {IDS_KW_PIC, kKeywordPic, 0xFFFF},
    {IDS_META_PIXEL_X_DIMENSION, 11, 0xA002},
    {IDS_META_PIXEL_Y_DIMENSION, 12, 0xA003},
    {IDS_META_IMAGE_DESCRIPTION, 13, 0x010E},
    {IDS_META_MAKE, 14, 0x010F},
    {IDS_META_MODEL, 15, 0x0110},
    {IDS_META_ORIENTATION, 16, 0x0112},
    {IDS_META_SOFTWARE, 17, 0x0131},
    {IDS_META_DATE_TIME_ORIGINAL, 18, 0x9003},
    {IDS_META_ARTIST, 19, 0x013B},
    {IDS_META_COPYRIGHT, 20, 0x8298},
    {IDS_META_ISO_SPEED_RATINGS, 21, 0x8827},
    {IDS_META_METERING_MODE, 22, 0x9207},
    {IDS_META_FOCAL_LENGTH_IN_35MM_FORMAT, 23, 0xA405},
    {IDS_META_FOCAL_LENGTH, 24, 0x920A},
    {IDS_META_EXPOSURE_TIME, 25, 0x829A},
    {IDS_META_F_NUMBER, 26, 0x829D},
    {IDS_META_RESOLUTION_UNIT, 27, 0x0128},
    {IDS_META_X_RESOLUTION, 28, 0x011A},
    {IDS_META_Y_RESOLUTION, 29, 0x011B},
    {IDS_META_EXPOSURE_PROGRAM, 30, 0x8822},
    {IDS_META_DATE_TIME_DIGITIZED, 31, 0x9004},
    {IDS_META_WHITE_BALANCE, 32, 0xA403},
    {IDS_META_LIGHT_SOURCE, 33, 0x9208},
    {IDS_META_COLOR_SPACE, 34, 0xA001},
    {IDS_META_DATE_TIME, 35, 0x0132},
    {IDS_META_SUBJECT_DISTANCE, 36, 0x9206},
    {IDS_META_USER_COMMENT, 37, 0x9286},
    {IDS_META_SUBJECT_LOCATION, 38, 0x9214},
    {IDS_META_PHOTOMETRIC_INTERPRETATION, 39, 0x0106},
};

const KeywordDefinition* DefinitionOf(std::uint16_t code) {
  for (const KeywordDefinition& definition : kKeywords) {
    if (definition.code == code) return &definition;
  }
  return nullptr;
}

}  // namespace

std::uint16_t MetadataTagForKeyword(std::uint16_t code) {
  if (code < kFirstMetadataKeyword || code > kLastMetadataKeyword) return 0xFFFF;
  return kKeywords[code - kFirstMetadataKeyword + 8].tag;
}

std::uint16_t KeywordForMetadataTag(std::uint16_t tag) {
  for (const KeywordDefinition& definition : kKeywords) {
    if (definition.code >= kFirstMetadataKeyword && definition.tag == tag) return definition.code;
  }
  return kKeywordNone;
}

std::uint16_t KeywordStringId(std::uint16_t code) {
  const KeywordDefinition* definition = DefinitionOf(code);
  return definition != nullptr ? definition->stringId : 0;
}

// Length, first, middle and last character: cheap, and it spreads the table's words well over
// the buckets.
unsigned KeywordTable::Hash(std::u16string_view word) {
  const std::size_t n = word.size();
  if (n == 0) return 0;
  const unsigned hash =
      static_cast<unsigned>(n) * 31u + word[0] * 7u + word[n / 2] * 3u + word[n - 1];
  return hash % kBucketCount;
}

Status KeywordTable::Build(const StringModule& module) {
  built_ = false;
  count_ = 0;
  words_.clear();
  buckets_.fill(-1);
  for (const KeywordDefinition& definition : kKeywords) {
    if (!module.Contains(definition.stringId)) {
      words_.clear();
      buckets_.fill(-1);
      return E_RESOURCE_NOT_FOUND;
    }
  }
  for (const KeywordDefinition& definition : kKeywords) {
    const std::u16string_view word = module.Text(definition.stringId);
    Entry& entry = entries_[count_];
    entry.offset = static_cast<std::uint32_t>(words_.size());
    entry.length = static_cast<std::uint16_t>(word.size());
    entry.code = definition.code;
    entry.next = -1;
    words_.append(word);
    ++count_;
    // Empty and repeated words stay out of the buckets: they can be named but never looked up.
    if (word.empty() || Lookup(word) != kKeywordNone) continue;
    const unsigned bucket = Hash(word);
    entry.next = buckets_[bucket];
    buckets_[bucket] = static_cast<std::int16_t>(count_ - 1);
  }
  built_ = true;
  return S_OK;
}

std::uint16_t KeywordTable::Lookup(std::u16string_view word) const {
  if (word.empty() || count_ == 0) return kKeywordNone;
  for (int i = buckets_[Hash(word)]; i >= 0; i = entries_[i].next) {
    if (EntryWord(entries_[i]) == word) return entries_[i].code;
  }
  return kKeywordNone;
}

std::u16string_view KeywordTable::Word(std::uint16_t code) const {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i].code == code) return EntryWord(entries_[i]);
  }
  return {};
}

}  // namespace lumatag
