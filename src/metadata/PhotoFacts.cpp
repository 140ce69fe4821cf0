#include "metadata/PhotoFacts.h"

#include <cstring>

#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"

namespace lumatag {

namespace {

int CompareEntries(const MetadataEntry& key, const MetadataEntry& element) {
  return key.tag < element.tag ? -1 : (key.tag > element.tag ? 1 : 0);
}

}  // namespace

MetadataSet::MetadataSet(PrivateHeap* heap)
    : ElementArray<MetadataEntry>(kGrowthStep, true, CompareEntries, heap) {}

const MetadataEntry* MetadataSet::Find(std::uint16_t tag) const {
  int position;
  const bool found = ElementArray<MetadataEntry>::Find(
      tag,
      [](std::uint16_t key, const MetadataEntry& element) {
        return key < element.tag ? -1 : (key > element.tag ? 1 : 0);
      },
      &position);
  return found ? &At(position) : nullptr;
}

void InitPhotoFacts(PhotoFacts* photo) {
  photo->heap = nullptr;
  photo->fileName.Release();
  photo->originalFileName.Release();
  photo->fileDate = kNoDate;
  photo->metadata = MetadataSet();
  photo->baseNameStart = photo->baseNameLength = 0;
  photo->number = 0;
  photo->flags = 0;
  photo->patternIndex = kNoPatternIndex;
}

namespace {

Status SetupNames(PhotoFacts* photo, PrivateHeap* heap, const char16_t* fileName,
                  std::uint16_t patternIndex, std::uint32_t number) {
  photo->heap = heap;
  LT_TRY(photo->fileName.AttachHeap(heap));
  LT_TRY(photo->originalFileName.AttachHeap(heap));
  const int length = CountedString::PlainLength(fileName);
  LT_TRY(photo->fileName.Assign(fileName, length));
  LT_TRY(photo->originalFileName.Assign(fileName, length));
  photo->metadata = MetadataSet(heap);
  LT_TRY(photo->metadata.Reserve(MetadataSet::kInitialCapacity));
  photo->patternIndex = patternIndex;
  photo->number = number;
  photo->baseNameStart = photo->baseNameLength = 0;
  photo->flags = (photo->flags | kPhotoUnnamed) & ~kPhotoUnnamedWhenListed;
  return S_OK;
}

}  // namespace

Status SetupPhotoFacts(PhotoFacts* photo, PrivateHeap* heap, const char16_t* fileName,
                       const FileTime* fileTime, std::uint16_t patternIndex, std::uint32_t number) {
  if (photo == nullptr) return E_INVALIDARG;
  Status status = E_INVALIDARG;
  if (heap != nullptr && fileName != nullptr && fileTime != nullptr) {
    status = SetupNames(photo, heap, fileName, patternIndex, number);
    if (Succeeded(status)) status = FileTimeToSystemTime(*fileTime, &photo->fileDate);
  }
  if (Failed(status)) ClearPhotoFacts(photo);
  return status;
}

Status SetupPhotoFacts(PhotoFacts* photo, PrivateHeap* heap, const char16_t* fileName,
                       const SystemTime& fileDate, std::uint16_t patternIndex,
                       std::uint32_t number) {
  if (photo == nullptr) return E_INVALIDARG;
  Status status = E_INVALIDARG;
  if (heap != nullptr && fileName != nullptr) {
    status = SetupNames(photo, heap, fileName, patternIndex, number);
    if (Succeeded(status)) photo->fileDate = fileDate;
  }
  if (Failed(status)) ClearPhotoFacts(photo);
  return status;
}

void ClearPhotoFacts(PhotoFacts* photo) {
  photo->fileName.Release();
  photo->originalFileName.Release();
  photo->metadata.Free();
  photo->flags &= ~(kPhotoUnnamed | kPhotoUnnamedWhenListed);
  photo->number = 0;
  photo->baseNameStart = photo->baseNameLength = 0;
  photo->patternIndex = kNoPatternIndex;
}

const MetadataEntry* FindMetadataEntry(const PhotoFacts& photo, std::uint16_t tag) {
  return photo.metadata.Find(tag);
}

Status AddMetadataValue(PhotoFacts* photo, std::uint16_t tag, std::uint16_t type,
                        std::uint32_t count, const void* value, const StringModule& strings) {
  if (photo == nullptr || photo->heap == nullptr) return E_INVALIDARG;
  std::uint32_t size = 0;
  LT_TRY(MetadataByteSize(type, count, &size));
  if (size > 0 && value == nullptr) return E_INVALIDARG;
  MetadataEntry entry;
  entry.tag = tag;
  entry.type = type;
  entry.count = count;
  LT_TRY(entry.AllocateData(photo->heap, size));
  if (size > 0) std::memcpy(entry.data, value, size);
  if (size <= 4 && size > 0) std::memcpy(&entry.rawValue, value, size);
  LT_TRY(RenderMetadataValue(&entry, photo->heap, strings));
  return photo->metadata.Add(std::move(entry));
}

SystemTime GetPictureTakenDate(const PhotoFacts& photo) {
  const MetadataEntry* original = FindMetadataEntry(photo, kTagDateTimeOriginal);
  if (original != nullptr && original->hasDate) return original->date;
  return photo.fileDate;
}

int CompareCalendarFields(const SystemTime& a, const SystemTime& b) {
  const std::uint16_t left[] = {a.year, a.month, a.day, a.hour, a.minute, a.second, a.milliseconds};
  const std::uint16_t right[] = {b.year,   b.month,  b.day,         b.hour,
                                 b.minute, b.second, b.milliseconds};
  for (int i = 0; i < 7; ++i) {
    if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
  }
  return 0;
}

}  // namespace lumatag
