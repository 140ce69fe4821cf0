#include "metadata/IfdReader.h"

#include <cstring>

#include "metadata/ByteOrder.h"

namespace lumatag {

namespace {

int CompareTags(const std::uint32_t& key, const std::uint32_t& element) {
  return key < element ? -1 : (key > element ? 1 : 0);
}

// Brings the value's elements from the file's byte order to host order.
void ToHostOrder(std::uint8_t* data, std::uint32_t size, std::uint16_t type, bool bigEndian) {
  switch (type) {
    case kTypeShort:
      for (std::uint32_t i = 0; i + 2 <= size; i += 2) {
        const std::uint16_t v = LoadU16(data + i, bigEndian);
        std::memcpy(data + i, &v, 2);
      }
      break;
    case kTypeLong:
    case kTypeSLong:
    case kTypeRational:
    case kTypeSRational:
      // Rationals are two 32-bit halves each.
      for (std::uint32_t i = 0; i + 4 <= size; i += 4) {
        const std::uint32_t v = LoadU32(data + i, bigEndian);
        std::memcpy(data + i, &v, 4);
      }
      break;
    default:
      break;  // bytes and text keep their order
  }
}

}  // namespace

TagFilter::TagFilter() : tags_(16, true, CompareTags) {}

Status TagFilter::Add(std::uint32_t tag) {
  const Status status = tags_.Add(tag);
  return status == E_ALREADY_PRESENT ? S_FALSE : status;
}

bool TagFilter::Contains(std::uint32_t tag) const {
  int position;
  return tags_.Find(tag, CompareTags, &position);
}

Status IfdReader::Open(ImageFile* file, PrivateHeap* heap, const TagFilter* filter, bool exclude) {
  if (file == nullptr || heap == nullptr) return E_INVALIDARG;
  if (!file->IsOpen()) return E_NOT_OPEN;
  if (open_) return E_UNEXPECTED;
  open_ = true;
  heap_ = heap;
  file_ = file;
  filter_ = filter;
  bigEndian_ = file->bigEndian();
  directoryFlags_ = kReadingIfd0 | kExifPending | kInteropPending | (exclude ? kExcludeMode : 0);
  const Status status = PositionAtIfd0();
  if (Failed(status)) Close();
  return status;
}

void IfdReader::Close() {
  exifPointer_.reset();
  gpsPointer_.reset();
  interopPointer_.reset();
  heap_ = nullptr;
  open_ = false;
  file_ = nullptr;
  filter_ = nullptr;
  bigEndian_ = false;
  directoryFlags_ = 0;
  tiffBase_ = 0;
  entryCount_ = nextIndex_ = 0;
  fileSize_ = 0;
  fileSizeKnown_ = false;
  handedCount_ = 0;
  handedOut_.clear();
  valueBytes_ = 0;
}

Status IfdReader::ReadExactly(void* destination, std::uint32_t count) {
  std::uint32_t got = 0;
  LT_TRY(file_->Read(count, destination, count, &got));
  // A short read is the end of the data: no value is made from what did not arrive.
  return got == count ? S_OK : E_END_OF_DATA;
}

Status IfdReader::SeekTo(std::uint32_t offset) {
  const std::uint64_t target = std::uint64_t{tiffBase_} + offset;
  // Past 4 GiB lies beyond the end of any file the program reads.
  if (target > 0xFFFFFFFFu) return E_END_OF_DATA;
  return file_->Seek(static_cast<std::int64_t>(target), BufferedFile::kFromStart);
}

Status IfdReader::PositionAtIfd0() {
  std::uint32_t ifd0 = 0;
  if (file_->kind() == ImageFile::kTiff) {
    tiffBase_ = 0;
    bigEndian_ = file_->bigEndian();
    ifd0 = file_->header().ifd0Offset;
  } else if (file_->kind() == ImageFile::kJpeg) {
    // Walk the marker segments from offset 2 to the first APP1.
    LT_TRY(file_->Seek(2, BufferedFile::kFromStart));
    for (;;) {
      std::uint8_t segment[4];
      LT_TRY(ReadExactly(segment, sizeof segment));
      const std::uint16_t marker = LoadU16(segment, true);
      const std::uint16_t length = LoadU16(segment + 2, true);
      if (marker == 0xFFE1) break;
      // The length counts its own two bytes; a smaller one is corrupt and would not move on.
      if (length < 2) return E_END_OF_DATA;
      LT_TRY(file_->Seek(length - 2, BufferedFile::kFromCurrent));
    }
    // The Exif identifier ("Exif" and two zero bytes) comes before the TIFF header.
    LT_TRY(file_->Seek(6, BufferedFile::kFromCurrent));
    LT_TRY(file_->Position(&tiffBase_));
    std::uint8_t bytes[8];
    LT_TRY(ReadExactly(bytes, sizeof bytes));
    TiffHeader header;
    if (!ParseTiffHeader(bytes, &header, &bigEndian_)) return E_UNEXPECTED;
    ifd0 = header.ifd0Offset;
  } else {
    return E_UNEXPECTED;
  }
  return EnterDirectory(ifd0);
}

Status IfdReader::EnterDirectory(std::uint32_t offset) {
  LT_TRY(SeekTo(offset));
  std::uint8_t count[2];
  LT_TRY(ReadExactly(count, sizeof count));
  entryCount_ = LoadU16(count, bigEndian_);
  nextIndex_ = 0;
  return S_OK;
}

Status IfdReader::MoveToNextDirectory() {
  if (directoryFlags_ & kReadingIfd0) {
    directoryFlags_ &= ~kReadingIfd0;
  } else if (directoryFlags_ & kExifPending) {
    directoryFlags_ &= ~kExifPending;
  } else if (directoryFlags_ & kInteropPending) {
    directoryFlags_ &= ~kInteropPending;
  } else if (directoryFlags_ & kGpsPending) {
    directoryFlags_ &= ~kGpsPending;
  }
  const std::optional<MetadataEntry>* pointer = nullptr;
  if (directoryFlags_ & kExifPending) {
    pointer = &exifPointer_;
  } else if (directoryFlags_ & kInteropPending) {
    pointer = &interopPointer_;
  } else if (directoryFlags_ & kGpsPending) {
    pointer = &gpsPointer_;
  }
  if (pointer == nullptr || !pointer->has_value() || (*pointer)->rawValue == 0) {
    return E_NO_MORE_ITEMS;
  }
  return EnterDirectory((*pointer)->rawValue);
}

bool IfdReader::Wanted(std::uint16_t tag) const {
  if (filter_ == nullptr) return true;
  const bool listed = filter_->Contains(tag);
  return (directoryFlags_ & kExcludeMode) ? !listed : listed;
}

Status IfdReader::ReadValue(const std::uint8_t rawField[4], MetadataEntry* entry) {
  std::uint32_t size = 0;
  LT_TRY(MetadataByteSize(entry->type, entry->count, &size));
  if (size > 4) valueBytes_ += size;
  if (size > BufferedFile::kBufferSize || valueBytes_ > BufferedFile::kBufferSize) {
    // Refuse a value the file cannot hold before allocating room for it, and values that together
    // claim more than the file holds (many entries pointing at one large region).
    if (!fileSizeKnown_) {
      LT_TRY(file_->Size(&fileSize_));
      fileSizeKnown_ = true;
    }
    if (std::uint64_t{tiffBase_} + entry->rawValue + size > fileSize_) return E_END_OF_DATA;
    if (valueBytes_ > fileSize_) return E_END_OF_DATA;
  }
  LT_TRY(entry->AllocateData(heap_, size));
  if (size <= 4) {
    if (size > 0) std::memcpy(entry->data, rawField, size);
  } else {
    // Read where the value lies without giving up the window over the directory.
    const std::uint64_t at = std::uint64_t{tiffBase_} + entry->rawValue;
    if (at > 0xFFFFFFFFu) return E_END_OF_DATA;
    std::uint32_t got = 0;
    LT_TRY(file_->ReadAt(static_cast<std::uint32_t>(at), size, entry->data, &got));
    if (got != size) return E_END_OF_DATA;
  }
  ToHostOrder(entry->data, size, entry->type, bigEndian_);
  entry->bigEndianSource = bigEndian_;
  return S_OK;
}

bool IfdReader::FirstHandOut(std::uint16_t tag) {
  if (handedOut_.empty()) {
    for (int i = 0; i < handedCount_; ++i) {
      if (handedList_[i] == tag) return false;
    }
    if (handedCount_ < kShortList) {
      handedList_[handedCount_++] = tag;
      return true;
    }
    handedOut_.resize(0x10000);
    for (int i = 0; i < handedCount_; ++i) handedOut_[handedList_[i]] = true;
  }
  if (handedOut_[tag]) return false;
  handedOut_[tag] = true;
  return true;
}

Status IfdReader::Next(MetadataEntry* entry) {
  if (entry == nullptr) return E_INVALIDARG;
  if (!open_) return E_UNEXPECTED;
  for (;;) {
    if (nextIndex_ >= entryCount_) {
      LT_TRY(MoveToNextDirectory());
      continue;
    }
    std::uint8_t raw[12];
    LT_TRY(ReadExactly(raw, sizeof raw));
    ++nextIndex_;
    const std::uint16_t tag = LoadU16(raw, bigEndian_);
    const std::uint16_t type = LoadU16(raw + 2, bigEndian_);
    const std::uint32_t count = LoadU32(raw + 4, bigEndian_);
    const std::uint32_t value = LoadU32(raw + 8, bigEndian_);

    std::optional<MetadataEntry>* pointer = nullptr;
    if (tag == kTagExifIfdPointer) pointer = &exifPointer_;
    if (tag == kTagGpsIfdPointer) pointer = &gpsPointer_;
    if (tag == kTagInteropIfdPointer) pointer = &interopPointer_;
    if (pointer != nullptr) {
      // The first pointer of each kind is kept; it is never handed out or filtered.
      if (!pointer->has_value()) {
        MetadataEntry held;
        held.tag = tag;
        held.type = type;
        held.count = count;
        held.rawValue = value;
        LT_TRY(ReadValue(raw + 8, &held));
        pointer->emplace(std::move(held));
      }
      continue;
    }
    if (!Wanted(tag)) continue;
    if (!FirstHandOut(tag)) continue;

    entry->tag = tag;
    entry->type = type;
    entry->count = count;
    entry->rawValue = value;
    const Status status = ReadValue(raw + 8, entry);
    if (Failed(status)) entry->Release();
    return status;
  }
}

}  // namespace lumatag
