#include "metadata/PhotoMetadataReader.h"

#include <cstring>
#include <memory>

#include "metadata/ImageFile.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"

namespace lumatag {

namespace {

constexpr std::uint16_t kBulkyTags[] = {
    0xEA1C,  // padding
    0x927C,  // maker note
    0x02BC,  // XMP packet
    0x8649,  // Photoshop image resources
    0x8773,  // ICC profile
    0x8828,  // OECF
    0x920C,  // spatial frequency response
    0xA302,  // CFA pattern
};

// A photo's metadata sits near its start: the first read brings in the file's first
// kHeadBytes, and later reads inside them cost no system call. Reads elsewhere, and every other
// operation, go to the file as they are; what a read returns is exactly what the file gives.
class HeadCachedFile final : public ReadableFile {
 public:
  static constexpr std::uint32_t kHeadBytes = 16 * 1024;

  HeadCachedFile(std::unique_ptr<ReadableFile> file, std::uint8_t* head)
      : file_(std::move(file)), head_(head) {}

  Status Read(void* destination, std::uint32_t count, std::uint32_t* read) override {
    *read = 0;
    if (!headLoaded_) {
      headLoaded_ = true;
      LT_TRY(file_->Seek(0));
      const Status loaded = file_->Read(head_, kHeadBytes, &headValid_);
      if (Failed(loaded)) headValid_ = 0;
      // A head that ends before kHeadBytes ends where the file does.
      headIsWholeFile_ = Succeeded(loaded) && headValid_ < kHeadBytes;
    }
    const std::uint64_t end = std::uint64_t{position_} + count;
    if (end <= headValid_ || (headIsWholeFile_ && position_ <= headValid_)) {
      const std::uint32_t n =
          end <= headValid_ ? count : static_cast<std::uint32_t>(headValid_ - position_);
      if (n > 0) std::memcpy(destination, head_ + position_, n);
      position_ += n;
      *read = n;
      return S_OK;
    }
    LT_TRY(file_->Seek(position_));
    const Status status = file_->Read(destination, count, read);
    position_ += *read;
    return status;
  }
  Status Write(const void* source, std::uint32_t count, std::uint32_t* written) override {
    LT_TRY(file_->Seek(position_));
    const Status status = file_->Write(source, count, written);
    position_ += *written;
    headLoaded_ = false;
    return status;
  }
  Status Seek(std::uint32_t offset) override {
    position_ = offset;
    return S_OK;
  }
  Status Size(std::uint32_t* size) override { return file_->Size(size); }
  Status LastWriteTime(FileTime* time) override { return file_->LastWriteTime(time); }
  Status LastWriteTimeLocal(SystemTime* fields) override {
    return file_->LastWriteTimeLocal(fields);
  }
  Status OpenedDetails(FileTime* creation, FileTime* lastWrite, std::uint64_t* size) override {
    return file_->OpenedDetails(creation, lastWrite, size);
  }

 private:
  std::unique_ptr<ReadableFile> file_;
  std::uint8_t* head_;
  std::uint32_t position_ = 0;
  std::uint32_t headValid_ = 0;
  bool headLoaded_ = false;
  bool headIsWholeFile_ = false;
};

Status Walk(const MetadataReadContext& context, PhotoFacts* photo, IfdReader& reader,
            const TagFilter* filter, bool exclude) {
  // Room for IFD0's entries; a corrupt count cannot make it reserve more than a real photo needs.
  // A walk that takes only the filter's tags adds no more entries than the filter has.
  int room = reader.EntryCount() < 256 ? reader.EntryCount() : 256;
  if (filter != nullptr && !exclude && filter->Count() < room) room = filter->Count();
  LT_TRY(photo->metadata.Reserve(photo->metadata.Count() + room));
  for (;;) {
    MetadataEntry entry;
    Status status = reader.Next(&entry);
    if (status == E_NO_MORE_ITEMS) return S_OK;
    if (Succeeded(status)) {
      status = context.deferText ? PrepareMetadataValue(&entry, photo->heap, *context.strings)
                                 : RenderMetadataValue(&entry, photo->heap, *context.strings);
    }
    if (Succeeded(status)) status = photo->metadata.Add(std::move(entry));
    if (status == E_ALREADY_PRESENT) continue;
    if (Failed(status)) return status;
  }
}

}  // namespace

std::u16string JoinPhotoPath(std::u16string_view folder, std::u16string_view fileName) {
  return JoinFolderAndName(folder, fileName);
}

Status ReadPhotoMetadata(const MetadataReadContext& context, std::u16string_view folder,
                         PhotoFacts* photo, const TagFilter* filter, bool exclude) {
  if (photo == nullptr || photo->heap == nullptr || context.files == nullptr ||
      context.strings == nullptr) {
    return E_INVALIDARG;
  }
  const std::u16string path = JoinPhotoPath(folder, photo->fileName.View());
  std::unique_ptr<ReadableFile> file;
  LT_TRY(context.files->OpenForReading(path, &file));
  return ReadPhotoMetadata(context, std::move(file), photo, filter, exclude);
}

Status ReadPhotoMetadata(const MetadataReadContext& context, std::unique_ptr<ReadableFile> opened,
                         PhotoFacts* photo, const TagFilter* filter, bool exclude) {
  if (photo == nullptr || photo->heap == nullptr || opened == nullptr ||
      context.strings == nullptr) {
    return E_INVALIDARG;
  }
  // One head buffer serves every read of the thread: a photo's file is closed before the next
  // one opens.
  thread_local std::uint8_t head[HeadCachedFile::kHeadBytes];
  ImageFile file;
  LT_TRY(file.Attach(photo->heap));
  LT_TRY(file.Open(std::make_unique<HeadCachedFile>(std::move(opened), head)));
  LT_TRY(file.CheckFormat());
  IfdReader reader;
  LT_TRY(reader.Open(&file, photo->heap, filter, exclude));
  return Walk(context, photo, reader, filter, exclude);
  // The reader and the file close as they go out of scope.
}

Status BuildQuickPassFilter(TagFilter* filter, std::span<const std::uint16_t> patternTags) {
  filter->Clear();
  LT_TRY(filter->Add(kTagDateTimeOriginal));
  LT_TRY(filter->Add(kTagOrientation));
  for (std::uint16_t tag : patternTags) LT_TRY(filter->Add(tag));
  return S_OK;
}

Status BuildFullPassFilter(TagFilter* filter) {
  filter->Clear();
  for (std::uint16_t tag : kBulkyTags) LT_TRY(filter->Add(tag));
  return S_OK;
}

}  // namespace lumatag
