// One tag value as the reader hands it out: tag, type, count, the raw value field, the value's
// bytes in host order, and later its rendered text and parsed date.
#pragma once

#include <cstdint>
#include <utility>

#include "foundation/CountedString.h"
#include "foundation/PrivateHeap.h"
#include "foundation/SystemTime.h"

namespace lumatag {

// Value types of IFD entries.
enum MetadataType : std::uint16_t {
  kTypeByte = 1,
  kTypeAscii = 2,
  kTypeShort = 3,
  kTypeLong = 4,
  kTypeRational = 5,
  kTypeSByte = 6,
  kTypeUndefined = 7,
  kTypeSShort = 8,
  kTypeSLong = 9,
  kTypeSRational = 10,
};

// The byte size of one element of an accepted type, 0 for a type the program does not accept.
std::uint32_t MetadataElementSize(std::uint16_t type);

// count × element size of the type. E_UNEXPECTED for a type that is not accepted or a size that
// does not fit in 32 bits.
Status MetadataByteSize(std::uint16_t type, std::uint32_t count, std::uint32_t* size);

struct MetadataEntry {
  MetadataEntry() = default;
  ~MetadataEntry() { Release(); }
  MetadataEntry(const MetadataEntry&) = delete;
  MetadataEntry& operator=(const MetadataEntry&) = delete;
  MetadataEntry(MetadataEntry&& other) noexcept { Take(other); }
  MetadataEntry& operator=(MetadataEntry&& other) noexcept {
    if (this != &other) {
      Release();
      Take(other);
    }
    return *this;
  }

  // Allocates the data block of `size` bytes from `heap` (none for 0); E_OUTOFMEMORY on failure.
  Status AllocateData(PrivateHeap* heap, std::uint32_t size);
  // The data block's size in bytes.
  std::uint32_t DataSize() const { return dataSize_; }

  // Frees data, text and date and clears every field.
  void Release();

  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint32_t rawValue = 0;
  std::uint8_t* data = nullptr;
  CountedString text;
  bool hasDate = false;
  SystemTime date{0, 0, 0, 0, 0, 0, 0, 0};
  // The byte order of the file the value came from; texts stored as 16-bit units in BYTE or
  // UNDEFINED values follow it.
  bool bigEndianSource = false;

 private:
  void Take(MetadataEntry& other);

  PrivateHeap* dataHeap_ = nullptr;
  std::uint32_t dataSize_ = 0;
};

}  // namespace lumatag
