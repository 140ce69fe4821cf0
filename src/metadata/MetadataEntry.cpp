#include "metadata/MetadataEntry.h"

#include <cstddef>
#include <cstring>

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

Status EntryText::Assign(PrivateHeap* heap, std::u16string_view text) {
  Release();
  if (text.empty()) return S_OK;
  if (heap == nullptr) return E_INVALIDARG;
  if (text.size() > static_cast<std::size_t>(CountedString::kMaxLength)) return E_INVALIDARG;
  const std::size_t bytes = offsetof(Block, units) + text.size() * sizeof(char16_t);
  auto* block = static_cast<Block*>(heap->Allocate(bytes));
  if (block == nullptr) return E_OUTOFMEMORY;
  block->heap = heap;
  block->length = static_cast<std::uint32_t>(text.size());
  std::memcpy(block->units, text.data(), text.size() * sizeof(char16_t));
  block_ = block;
  return S_OK;
}

void EntryText::Release() {
  if (block_ == nullptr) return;
  block_->heap->Free(block_);
  block_ = nullptr;
}

Status MetadataEntry::AllocateData(PrivateHeap* heap, std::uint32_t size) {
  if (data != nullptr && !DataInline()) dataHeap_->Free(data);
  data = nullptr;
  dataSize_ = 0;
  dataHeap_ = nullptr;
  if (size == 0) return S_OK;
  if (size <= kInlineBytes) {
    data = inline_;
  } else {
    data = static_cast<std::uint8_t*>(heap->Allocate(size));
    if (data == nullptr) return E_OUTOFMEMORY;
    dataHeap_ = heap;
  }
  dataSize_ = size;
  return S_OK;
}

void MetadataEntry::Release() {
  if (data != nullptr && !DataInline()) dataHeap_->Free(data);
  data = nullptr;
  dataSize_ = 0;
  dataHeap_ = nullptr;
  text.Release();
  hasDate = false;
  textDeferred = false;
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
  dataSize_ = other.dataSize_;
  if (other.DataInline()) {
    std::memcpy(inline_, other.inline_, kInlineBytes);
    data = inline_;
  } else {
    data = other.data;
    dataHeap_ = other.dataHeap_;
  }
  text = std::move(other.text);
  hasDate = other.hasDate;
  textDeferred = other.textDeferred;
  date = other.date;
  bigEndianSource = other.bigEndianSource;
  other.data = nullptr;
  other.dataSize_ = 0;
  other.dataHeap_ = nullptr;
  other.Release();
}

}  // namespace lumatag
