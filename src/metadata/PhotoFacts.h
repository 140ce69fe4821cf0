// The per-photo record: file names, file date, metadata and the flags other parts keep on it;
// and the photo's set of metadata entries, sorted by tag.
#pragma once

#include <cstdint>

#include "foundation/CountedString.h"
#include "foundation/ElementArray.h"
#include "foundation/StringTable.h"
#include "foundation/SystemTime.h"
#include "metadata/MetadataEntry.h"

namespace lumatag {

// A photo's metadata entries, sorted ascending by tag; a second entry with a tag already present
// is refused with E_ALREADY_PRESENT and the first one stays.
class MetadataSet : public ElementArray<MetadataEntry> {
 public:
  static constexpr int kInitialCapacity = 5;
  static constexpr int kGrowthStep = 10;

  explicit MetadataSet(PrivateHeap* heap = &PrivateHeap::Process());

  // The entry with `tag`, or nothing (binary search).
  const MetadataEntry* Find(std::uint16_t tag) const;
};

// Flags of a PhotoFacts record.
inline constexpr std::uint32_t kPhotoUnnamed = 1u << 0;
inline constexpr std::uint32_t kPhotoUnnamedWhenListed = 1u << 1;
inline constexpr std::uint32_t kPhotoFullyRead = 1u << 2;
inline constexpr std::uint32_t kPhotoNamed = 1u << 3;
inline constexpr std::uint32_t kPhotoOriginalFound = 1u << 4;
inline constexpr std::uint32_t kPhotoOriginalIsCurrent = 1u << 5;

inline constexpr std::uint16_t kNoPatternIndex = 0xFFFF;

// Calendar fields of file time zero: 1601-01-01 00:00:00.000, day of week 0.
inline constexpr SystemTime kNoDate{1601, 1, 0, 1, 0, 0, 0, 0};

struct PhotoFacts {
  PrivateHeap* heap = nullptr;
  CountedString fileName;
  CountedString originalFileName;
  SystemTime fileDate = kNoDate;
  MetadataSet metadata;
  std::uint16_t baseNameStart = 0;
  std::uint16_t baseNameLength = 0;
  std::uint32_t number = 0;
  std::uint32_t flags = 0;
  std::uint16_t patternIndex = kNoPatternIndex;
};

// The pattern index as the record reads it: none while the photo is marked unnamed when listed.
inline std::uint16_t PatternIndex(const PhotoFacts& photo) {
  return (photo.flags & kPhotoUnnamedWhenListed) ? kNoPatternIndex : photo.patternIndex;
}

void InitPhotoFacts(PhotoFacts* photo);
// Sets the record up for a file: both names, the file date from `fileTime` (calendar fields, no
// time-zone step), an empty metadata set on `heap`. A missing heap, name or time gives
// E_INVALIDARG; on any failure the record is cleared again.
Status SetupPhotoFacts(PhotoFacts* photo, PrivateHeap* heap, const char16_t* fileName,
                       const FileTime* fileTime, std::uint16_t patternIndex, std::uint32_t number);
// Sets the record up with a file date already in calendar fields (the previews' local time).
Status SetupPhotoFacts(PhotoFacts* photo, PrivateHeap* heap, const char16_t* fileName,
                       const SystemTime& fileDate, std::uint16_t patternIndex,
                       std::uint32_t number);
void ClearPhotoFacts(PhotoFacts* photo);

const MetadataEntry* FindMetadataEntry(const PhotoFacts& photo, std::uint16_t tag);

// Builds an entry from host-order value bytes (count × element size of the type), renders it with
// the texts of `strings` and adds it to the set. On failure the entry is released.
Status AddMetadataValue(PhotoFacts* photo, std::uint16_t tag, std::uint16_t type,
                        std::uint32_t count, const void* value, const StringModule& strings);

// The parsed DateTimeOriginal when the photo has one, else the file date.
SystemTime GetPictureTakenDate(const PhotoFacts& photo);

// -1 when a is earlier than b, +1 when later, 0 when equal; the day of week is ignored.
int CompareCalendarFields(const SystemTime& a, const SystemTime& b);

}  // namespace lumatag
