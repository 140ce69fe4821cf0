// One tag value as the reader hands it out: tag, type, count, the raw value field, the value's
// bytes in host order, and later its rendered text and parsed date.
#pragma once

#include <cstdint>
#include <string_view>
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

// An entry's rendered text: nothing until a text is assigned, then one block holding the heap,
// the length and the units. An entry without text costs one pointer.
class EntryText {
 public:
  EntryText() = default;
  ~EntryText() { Release(); }
  EntryText(const EntryText&) = delete;
  EntryText& operator=(const EntryText&) = delete;
  EntryText(EntryText&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  EntryText& operator=(EntryText&& other) noexcept {
    if (this != &other) {
      Release();
      block_ = other.block_;
      other.block_ = nullptr;
    }
    return *this;
  }

  // Replaces the text with `text` (at most CountedString::kMaxLength units) allocated from
  // `heap`; E_OUTOFMEMORY leaves the text empty.
  Status Assign(PrivateHeap* heap, std::u16string_view text);
  void Release();

  std::u16string_view View() const {
    return block_ != nullptr ? std::u16string_view(block_->units, block_->length)
                             : std::u16string_view();
  }
  int Length() const { return block_ != nullptr ? static_cast<int>(block_->length) : 0; }
  bool IsEmpty() const { return Length() == 0; }

 private:
  struct Block {
    PrivateHeap* heap;
    std::uint32_t length;
    char16_t units[1];
  };
  Block* block_ = nullptr;
};

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

  // Gives the entry a data block of `size` bytes (none for 0); E_OUTOFMEMORY on failure. Values of
  // up to kInlineBytes live inside the entry itself, larger ones are allocated from `heap`.
  Status AllocateData(PrivateHeap* heap, std::uint32_t size);
  // The data block's size in bytes.
  std::uint32_t DataSize() const { return dataSize_; }

  // Frees data, text and date and clears every field.
  void Release();

  static constexpr std::uint32_t kInlineBytes = 8;

  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint32_t rawValue = 0;

 private:
  std::uint32_t dataSize_ = 0;

 public:
  std::uint8_t* data = nullptr;
  // The rendered text. Empty while textDeferred is set: such an entry's text is made from its
  // data when asked for (MetadataEntryText), so a scan of many photos keeps no text per value.
  EntryText text;
  SystemTime date{0, 0, 0, 0, 0, 0, 0, 0};
  bool hasDate = false;
  // The byte order of the file the value came from; texts stored as 16-bit units in BYTE or
  // UNDEFINED values follow it.
  bool bigEndianSource = false;
  bool textDeferred = false;

 private:
  void Take(MetadataEntry& other);
  bool DataInline() const { return data == inline_; }

  // An allocated block's heap, or the bytes of a small value.
  union {
    PrivateHeap* dataHeap_ = nullptr;
    alignas(8) std::uint8_t inline_[kInlineBytes];
  };
};

}  // namespace lumatag
