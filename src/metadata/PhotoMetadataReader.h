// Reading a photo's metadata into its record: the quick pass when a folder is scanned (a few tags,
// include mode) and the full pass when the photo becomes current (everything but bulky tags,
// exclude mode).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "foundation/StringTable.h"
#include "metadata/IfdReader.h"
#include "metadata/PhotoFacts.h"
#include "ports/ReadableFile.h"

namespace lumatag {

// What a read needs from the program: the file system and the texts for named values.
struct MetadataReadContext {
  const ReadableFileSystem* files = nullptr;  // required
  const StringModule* strings = &StringModule::BuiltIn();
  // Texts made when asked for (MetadataEntryText) instead of kept on every entry: for a scan,
  // whose many records would otherwise hold a text per value.
  bool deferText = false;
};

// Reads the metadata of the photo named by the record in `folder` into its set. Entries read
// before a failure stay; tags already in the set are kept as they are. Returns the first failure,
// or S_OK when the walk completed.
Status ReadPhotoMetadata(const MetadataReadContext& context, std::u16string_view folder,
                         PhotoFacts* photo, const TagFilter* filter, bool exclude);
// The same for the photo's file opened already (from its folder, ReadableFolder); the context's
// file system is not used. An empty `file` gives E_INVALIDARG.
Status ReadPhotoMetadata(const MetadataReadContext& context, std::unique_ptr<ReadableFile> file,
                         PhotoFacts* photo, const TagFilter* filter, bool exclude);

// The folder and the file name joined by the platform's separator (none added after a path that
// already ends in one).
std::u16string JoinPhotoPath(std::u16string_view folder, std::u16string_view fileName);

// Quick pass (include mode): DateTimeOriginal, Orientation and the tags that patterns name.
Status BuildQuickPassFilter(TagFilter* filter, std::span<const std::uint16_t> patternTags);
// Full pass (exclude mode): the eight bulky tags whose values are never read.
Status BuildFullPassFilter(TagFilter* filter);

}  // namespace lumatag
