#include "metadata/MetadataEntry.h"

namespace lumatag {

std::uint32_t MetadataElementSize(std::uint16_t type) {
  switch (type) {
    case kTypeByte:
    case kTypeAscii:
    case kTypeUndefined:
      return 1;
    case kTypeShort:
      return 2;
    case kTypeLong:
    case kTypeSLong:
      return 4;
    case kTypeRational:
    case kTypeSRational:
      return 8;
    default:
      return 0;
  }
}

Status MetadataByteSize(std::uint16_t type, std::uint32_t count, std::uint32_t* size) {
  *size = 0;
  const std::uint32_t element = MetadataElementSize(type);
  if (element == 0) return E_UNEXPECTED;
  const std::uint64_t bytes = std::uint64_t{count} * element;
  if (bytes > 0xFFFFFFFFu) return E_UNEXPECTED;
  *size = static_cast<std::uint32_t>(bytes);
  return S_OK;
}

Status MetadataEntry::AllocateData(PrivateHeap* heap, std::uint32_t size) {
  if (data != nullptr) dataHeap_->Free(data);
  data = nullptr;
  dataSize_ = 0;
  dataHeap_ = heap;
  if (size == 0) return S_OK;
  data = static_cast<std::uint8_t*>(heap->Allocate(size));
  if (data == nullptr) return E_OUTOFMEMORY;
  dataSize_ = size;
  return S_OK;
}

void MetadataEntry::Release() {
  if (data != nullptr) dataHeap_->Free(data);
  data = nullptr;
  dataSize_ = 0;
  dataHeap_ = nullptr;
  text.Release();
  hasDate = false;
  date = SystemTime{0, 0, 0, 0, 0, 0, 0, 0};
  tag = type = 0;
  count = rawValue = 0;
  bigEndianSource = false;
}

void MetadataEntry::Take(MetadataEntry& other) {
  tag = other.tag;
  type = other.type;
  count = other.count;
  rawValue = other.rawValue;
  data = other.data;
  dataSize_ = other.dataSize_;
  dataHeap_ = other.dataHeap_;
  text = std::move(other.text);
  hasDate = other.hasDate;
  date = other.date;
  bigEndianSource = other.bigEndianSource;
  other.data = nullptr;
  other.dataSize_ = 0;
  other.dataHeap_ = nullptr;
  other.Release();
}

}  // namespace lumatag
