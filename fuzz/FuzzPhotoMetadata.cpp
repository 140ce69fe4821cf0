// Whole photo files (JPEG or TIFF) read as the program reads them: the quick pass, then the full
// pass, then an unfiltered walk. Nothing may crash, read outside its buffers or loop; every entry
// kept must have a text within the string limit and data of the size its type and count give.
// The input is also read as the start of a 16 MiB file (zeros after it), so that entries can claim
// large regions; the memory limits of the fuzz run catch a reader that reads more than the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "metadata/MetadataText.h"
#include "metadata/PhotoMetadataReader.h"
#include "platform/fake/MemoryFileSystem.h"

namespace {

void Check(const lumatag::PhotoFacts& photo) {
  int previous = -1;
  for (const lumatag::MetadataEntry& entry : photo.metadata) {
    if (entry.tag <= previous) __builtin_trap();
    previous = entry.tag;
    std::uint32_t size = 0;
    if (lumatag::Failed(lumatag::MetadataByteSize(entry.type, entry.count, &size)))
      __builtin_trap();
    if (size != entry.DataSize()) __builtin_trap();
    if (entry.text.Length() > lumatag::CountedString::kMaxLength) __builtin_trap();
  }
}

// One file: the fuzz input followed by zeros up to kPaddedSize bytes, never held in memory.
class PaddedFileSystem final : public lumatag::ReadableFileSystem {
 public:
  static constexpr std::uint32_t kPaddedSize = 16u << 20;

  PaddedFileSystem(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  lumatag::Status OpenForReading(std::u16string_view,
                                 std::unique_ptr<lumatag::ReadableFile>* file) const override {
    *file = std::make_unique<File>(data_, size_);
    return lumatag::S_OK;
  }

 private:
  class File final : public lumatag::ReadableFile {
   public:
    File(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    lumatag::Status Read(void* destination, std::uint32_t count, std::uint32_t* read) override {
      const std::uint32_t n =
          position_ >= kPaddedSize ? 0 : std::min(count, kPaddedSize - position_);
      auto* out = static_cast<std::uint8_t*>(destination);
      const std::size_t fromData =
          position_ >= size_ ? 0 : std::min<std::size_t>(n, size_ - position_);
      if (fromData > 0) std::memcpy(out, data_ + position_, fromData);
      std::memset(out + fromData, 0, n - fromData);
      position_ += n;
      *read = n;
      return lumatag::S_OK;
    }
    lumatag::Status Write(const void*, std::uint32_t, std::uint32_t* written) override {
      *written = 0;
      return lumatag::E_ACCESS_DENIED;
    }
    lumatag::Status Seek(std::uint32_t offset) override {
      position_ = offset;
      return lumatag::S_OK;
    }
    lumatag::Status Size(std::uint32_t* size) override {
      *size = kPaddedSize;
      return lumatag::S_OK;
    }
    lumatag::Status LastWriteTime(lumatag::FileTime* time) override {
      *time = 0;
      return lumatag::S_OK;
    }
    lumatag::Status LastWriteTimeLocal(lumatag::SystemTime* fields) override {
      *fields = {};
      return lumatag::S_OK;
    }

   private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint32_t position_ = 0;
  };

  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumatag;
  MemoryFileSystem files;
  files.Add(u"/f/photo.jpg", std::vector<std::uint8_t>(data, data + size));
  MetadataReadContext context;
  context.files = &files;

  PrivateHeap heap;
  PhotoFacts photo;
  if (Failed(SetupPhotoFacts(&photo, &heap, u"photo.jpg", kNoDate, kNoPatternIndex, 0))) return 0;
  TagFilter quick;
  const std::uint16_t patternTags[] = {0x8298, 0xA002, 0xA003, 0x9286, 0x829A, 0x829D, 0x8827};
  IgnoreStatus(BuildQuickPassFilter(&quick, patternTags));
  TagFilter full;
  IgnoreStatus(BuildFullPassFilter(&full));
  IgnoreStatus(ReadPhotoMetadata(context, u"/f", &photo, &quick, false));
  Check(photo);
  IgnoreStatus(ReadPhotoMetadata(context, u"/f", &photo, &full, true));
  Check(photo);
  (void)GetPictureTakenDate(photo);

  PhotoFacts unfiltered;
  if (Failed(SetupPhotoFacts(&unfiltered, &heap, u"photo.jpg", kNoDate, kNoPatternIndex, 0)))
    return 0;
  IgnoreStatus(ReadPhotoMetadata(context, u"/f", &unfiltered, nullptr, false));
  Check(unfiltered);

  // The same walk with texts deferred, as a folder scan reads: the same entries, and each text
  // asked for later is the one rendered at once.
  PhotoFacts deferred;
  if (Failed(SetupPhotoFacts(&deferred, &heap, u"photo.jpg", kNoDate, kNoPatternIndex, 0)))
    return 0;
  MetadataReadContext deferContext = context;
  deferContext.deferText = true;
  IgnoreStatus(ReadPhotoMetadata(deferContext, u"/f", &deferred, nullptr, false));
  Check(deferred);
  if (deferred.metadata.Count() != unfiltered.metadata.Count()) __builtin_trap();
  std::u16string scratch;
  for (int i = 0; i < deferred.metadata.Count(); ++i) {
    const MetadataEntry& now = unfiltered.metadata.At(i);
    const MetadataEntry& later = deferred.metadata.At(i);
    if (now.tag != later.tag || now.hasDate != later.hasDate) __builtin_trap();
    if (now.hasDate && CompareCalendarFields(now.date, later.date) != 0) __builtin_trap();
    if (MetadataEntryText(later, scratch) != now.text.View()) __builtin_trap();
  }

  PaddedFileSystem padded(data, size);
  MetadataReadContext paddedContext = context;
  paddedContext.files = &padded;
  PhotoFacts large;
  if (Failed(SetupPhotoFacts(&large, &heap, u"photo.jpg", kNoDate, kNoPatternIndex, 0))) return 0;
  IgnoreStatus(ReadPhotoMetadata(paddedContext, u"/f", &large, nullptr, false));
  Check(large);
  // Values of up to four bytes sit in their directory entry; only larger ones are read from
  // elsewhere in the file, and those together never exceed the file's size.
  std::uint64_t kept = 0;
  for (const MetadataEntry& entry : large.metadata) {
    if (entry.DataSize() > 4) kept += entry.DataSize();
  }
  if (kept > PaddedFileSystem::kPaddedSize) __builtin_trap();
  return 0;
}
