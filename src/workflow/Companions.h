// Companion files: the files beside a photo that belong to the same shot — the camera's RAW file,
// XMP sidecars (named after the stem, "IMG_1234.xmp", or after the whole file, "IMG_1234.JPG.xmp"
// and "IMG_1234.CR2.xmp"), thumbnails (THM) and edit records (AAE). They move with their photo and
// keep their own extension in its own letter case. A file that is itself a listed photo is never a
// companion, and a file whose stem has no listed photo is left alone.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "foundation/Status.h"
#include "ports/FileOperations.h"
#include "workflow/PhotoList.h"

namespace lumatag {

// Extensions without their dot, compared without regard to case.
bool IsRawExtension(std::u16string_view extension);
bool IsCompanionExtension(std::u16string_view extension);

struct CompanionMove {
  std::u16string from;  // file names in the working folder
  std::u16string to;
};

// The file names of the working folder, indexed so that a photo's companions and a taken name are
// found at once. Names compare as the photo list compares them (without regard to case). The index
// follows the moves reported to it; a companion that moved is not anybody's companion any more.
class CompanionIndex {
 public:
  // Lists `folder`. `list` holds the photos: their files are never companions, and a stem shared
  // by two listed photos keeps its companions where they are (whose would they be?).
  Status Build(FileOperations& files, std::u16string_view folder, const PhotoList& list);
  void Clear();
  bool Built() const { return built_; }

  // The companions of the photo file `photoName` and the names they take when the photo is renamed
  // to `newName`: RAW, THM, AAE and stem sidecars first, then the sidecars of the photo and of
  // each RAW file.
  void Plan(std::u16string_view photoName, std::u16string_view newName,
            std::vector<CompanionMove>* moves) const;
  // A file of the folder has this name.
  bool IsTaken(std::u16string_view name) const;
  // A move made in the folder (of a photo or a companion).
  void Moved(std::u16string_view from, std::u16string_view to);

 private:
  struct Candidate {
    std::u16string name;
    std::size_t stemLength = 0;
    bool xmp = false;
    bool raw = false;
  };
  void AddName(std::u16string_view name);
  void RemoveName(std::u16string_view name);
  const Candidate* Find(std::u16string_view name) const;
  void Collect(std::u16string_view stem, bool xmpOnly, std::vector<const Candidate*>* out) const;

  bool built_ = false;
  // Hash of the folded name → the names with that hash (usually one).
  std::unordered_multimap<std::uint64_t, std::u16string> names_;
  // Folded stem → companion candidates with that stem.
  std::unordered_multimap<std::u16string, Candidate> byStem_;
  // Folded stems of more than one listed photo.
  std::unordered_set<std::u16string> sharedStems_;
};

}  // namespace lumatag
