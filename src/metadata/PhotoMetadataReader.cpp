#include "metadata/PhotoMetadataReader.h"

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

bool EndsInSeparator(std::u16string_view path) {
  if (path.empty()) return false;
  const char16_t last = path.back();
#ifdef _WIN32
  return last == u'\\' || last == u':';
#else
  return last == kPathSeparator;
#endif
}

Status Walk(const MetadataReadContext& context, PhotoFacts* photo, IfdReader& reader) {
  // Room for IFD0's entries; a corrupt count cannot make it reserve more than a real photo needs.
  const int room = reader.EntryCount() < 256 ? reader.EntryCount() : 256;
  LT_TRY(photo->metadata.Reserve(photo->metadata.Count() + room));
  for (;;) {
    MetadataEntry entry;
    Status status = reader.Next(&entry);
    if (status == E_NO_MORE_ITEMS) return S_OK;
    if (Succeeded(status)) status = RenderMetadataValue(&entry, photo->heap, *context.strings);
    if (Succeeded(status)) status = photo->metadata.Add(std::move(entry));
    if (status == E_ALREADY_PRESENT) continue;
    if (Failed(status)) return status;
  }
}

}  // namespace

std::u16string JoinPhotoPath(std::u16string_view folder, std::u16string_view fileName) {
  std::u16string path(folder);
  if (!EndsInSeparator(folder)) path += kPathSeparator;
  path += fileName;
  return path;
}

Status ReadPhotoMetadata(const MetadataReadContext& context, std::u16string_view folder,
                         PhotoFacts* photo, const TagFilter* filter, bool exclude) {
  if (photo == nullptr || photo->heap == nullptr || context.files == nullptr ||
      context.strings == nullptr) {
    return E_INVALIDARG;
  }
  const std::u16string path = JoinPhotoPath(folder, photo->fileName.View());
  ImageFile file;
  LT_TRY(file.Attach(photo->heap));
  LT_TRY(file.OpenForReading(*context.files, path));
  LT_TRY(file.CheckFormat());
  IfdReader reader;
  LT_TRY(reader.Open(&file, photo->heap, filter, exclude));
  return Walk(context, photo, reader);
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
