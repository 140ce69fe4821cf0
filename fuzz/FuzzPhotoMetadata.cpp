// Whole photo files (JPEG or TIFF) read as the program reads them: the quick pass, then the full
// pass, then an unfiltered walk. Nothing may crash, read outside its buffers or loop; every entry
// kept must have a text within the string limit and data of the size its type and count give.
#include <cstddef>
#include <cstdint>
#include <vector>

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
  BuildQuickPassFilter(&quick, patternTags);
  TagFilter full;
  BuildFullPassFilter(&full);
  ReadPhotoMetadata(context, u"/f", &photo, &quick, false);
  Check(photo);
  ReadPhotoMetadata(context, u"/f", &photo, &full, true);
  Check(photo);
  (void)GetPictureTakenDate(photo);

  PhotoFacts unfiltered;
  if (Failed(SetupPhotoFacts(&unfiltered, &heap, u"photo.jpg", kNoDate, kNoPatternIndex, 0)))
    return 0;
  ReadPhotoMetadata(context, u"/f", &unfiltered, nullptr, false);
  Check(unfiltered);
  return 0;
}
