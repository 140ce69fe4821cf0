// Walks the image file directories of a photo: IFD0, then the Exif IFD, then the Interoperability
// IFD, handing out one tag entry at a time with its value in host order. The GPS IFD pointer is
// recorded but the GPS IFD is not walked; pointer tags themselves are never handed out. A tag is
// handed out once, at its first entry: later entries of the same tag are skipped unread.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "foundation/ElementArray.h"
#include "metadata/ImageFile.h"
#include "metadata/MetadataEntry.h"

namespace lumatag {

// Pointer tags that lead to sub-directories.
inline constexpr std::uint16_t kTagExifIfdPointer = 0x8769;
inline constexpr std::uint16_t kTagGpsIfdPointer = 0x8825;
inline constexpr std::uint16_t kTagInteropIfdPointer = 0xA005;

// A sorted set of tag numbers; the mode (include or exclude) is chosen per read.
class TagFilter {
 public:
  TagFilter();
  // Adds a tag; a tag already present is dropped (S_FALSE).
  Status Add(std::uint32_t tag);
  bool Contains(std::uint32_t tag) const;
  int Count() const { return tags_.Count(); }
  void Clear() { tags_.Clear(); }
  const ElementArray<std::uint32_t>& tags() const { return tags_; }

 private:
  ElementArray<std::uint32_t> tags_;
};

class IfdReader {
 public:
  // Directory flags.
  static constexpr std::uint32_t kReadingIfd0 = 1u << 0;
  static constexpr std::uint32_t kExifPending = 1u << 1;
  static constexpr std::uint32_t kGpsPending = 1u << 2;
  static constexpr std::uint32_t kInteropPending = 1u << 3;
  static constexpr std::uint32_t kExcludeMode = 1u << 4;

  IfdReader() = default;
  ~IfdReader() { Close(); }
  IfdReader(const IfdReader&) = delete;
  IfdReader& operator=(const IfdReader&) = delete;

  // Starts a walk over a file whose format was checked. File and heap are required
  // (E_INVALIDARG); a closed file gives E_NOT_OPEN; a reader already open E_UNEXPECTED. Without a
  // filter every tag is returned; with one, `exclude` selects the mode.
  Status Open(ImageFile* file, PrivateHeap* heap, const TagFilter* filter, bool exclude);
  // Fills the caller's empty entry with the next returned entry; E_NO_MORE_ITEMS when the walk is
  // complete. Any other failure ends the walk.
  Status Next(MetadataEntry* entry);
  void Close();

  bool IsOpen() const { return open_; }
  // Entries in the directory being read (IFD0 right after Open).
  std::uint16_t EntryCount() const { return entryCount_; }

 private:
  Status PositionAtIfd0();
  Status EnterDirectory(std::uint32_t offset);
  Status MoveToNextDirectory();
  Status ReadValue(const std::uint8_t rawField[4], MetadataEntry* entry);
  Status SeekTo(std::uint32_t offset);
  Status ReadExactly(void* destination, std::uint32_t count);
  bool Wanted(std::uint16_t tag) const;

  PrivateHeap* heap_ = nullptr;
  bool open_ = false;
  ImageFile* file_ = nullptr;
  const TagFilter* filter_ = nullptr;
  bool bigEndian_ = false;
  std::uint32_t directoryFlags_ = 0;
  std::uint32_t tiffBase_ = 0;
  std::uint16_t entryCount_ = 0;
  std::uint16_t nextIndex_ = 0;
  std::optional<MetadataEntry> exifPointer_;
  std::optional<MetadataEntry> gpsPointer_;
  std::optional<MetadataEntry> interopPointer_;
  // The file's size, asked once and only for values larger than the window (0: not asked yet).
  std::uint32_t fileSize_ = 0;
  bool fileSizeKnown_ = false;
  // Marks `tag` handed out in this walk; false when it was already. Only the first entry of a
  // tag is kept, so later ones are skipped before their values are read.
  bool FirstHandOut(std::uint16_t tag);

  // The tags handed out: the first few in a short list (a photo's walk rarely hands out more),
  // then every tag in a bit per tag value.
  static constexpr int kShortList = 48;
  std::uint16_t handedList_[kShortList] = {};
  int handedCount_ = 0;
  std::vector<bool> handedOut_;
  // Bytes of values read from outside their entries in this walk; never more than the file holds.
  std::uint64_t valueBytes_ = 0;
};

}  // namespace lumatag
