// Listing a folder: its files and, on request, its folders (recursively), optionally only the
// names that match a pattern such as "*.jpg;*.tif". The end of a listing, and a listing of an
// empty folder, is E_NO_MORE_FILES.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ports/FileOperations.h"

namespace lumatag {

class FolderLister {
 public:
  enum Options : unsigned {
    kFiles = 1,
    kFolders = 2,
    kRecurse = 4,
    // Entries may come without their times and size (FileOperations::OpenNameListing);
    // CurrentDetails fills them in when they are needed.
    kNamesFirst = 8,
  };

  explicit FolderLister(FileOperations& files) : files_(files) {}

  // Starts the listing and moves to the first entry that fits.
  Status Start(std::u16string_view folder, std::u16string_view pattern, unsigned options);
  // Moves to the next entry that fits.
  Status Next();
  void End() {
    levels_.clear();
    ended_.reset();
    currentListing_ = nullptr;
  }

  const FolderEntry& Current() const { return current_; }
  // Fills in the current entry's times and size when the listing left them out; a file that has
  // gone since it was listed gives E_FILE_NOT_FOUND.
  Status CurrentDetails();
  // How many threads read the listed files at once (FolderListing::SetReaders), for the listings
  // open now.
  void SetReaders(int readers) {
    for (Level& level : levels_) level.listing->SetReaders(readers);
  }
  // The same for an entry of the listed folder itself (not of a nested one) that was current
  // earlier; valid until End, also after the listing has ended.
  Status Details(FolderEntry* entry);
  // The current entry's path relative to the listed folder (nested folders included).
  std::u16string CurrentRelativePath() const;

 private:
  struct Level {
    std::unique_ptr<FolderListing> listing;
    std::u16string prefix;  // relative path of this level's folder, with a trailing separator
  };

  FileOperations& files_;
  std::u16string root_;
  std::u16string pattern_;
  unsigned options_ = kFiles;
  std::vector<Level> levels_;
  std::unique_ptr<FolderListing> ended_;  // the folder's own listing, after its last entry
  FolderEntry current_;
  FolderListing* currentListing_ = nullptr;  // the listing that gave the current entry
  std::u16string currentPrefix_;
};

// Whether `path` names an existing folder.
bool FolderExists(FileOperations& files, std::u16string_view path);

// Wildcard match of a file name against one or more patterns separated by ";" ("*" any run of
// characters, "?" one character), ignoring case.
bool MatchesNamePattern(std::u16string_view name, std::u16string_view patterns);

}  // namespace lumatag
