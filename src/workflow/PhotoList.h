// The photos of the working folder: their records in picture-taken order, the current photo, the
// navigation mode that decides which photos the First/Previous/Next/Last commands visit, the
// unnamed count, the base names in use, and an index of the file names for uniqueness checks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/CountedString.h"
#include "foundation/ElementArray.h"
#include "foundation/StringTable.h"
#include "metadata/PhotoFacts.h"

namespace lumatag {

// A photo of the working folder is the per-photo record itself.
using PhotoEntry = PhotoFacts;

enum NavigationMode : std::uint32_t {
  kNavigateAll = 0,
  kNavigateUnnamed = 1,
  kNavigateNamed = 2,
};

// The photo order: picture-taken date, earliest first; equal dates by file name (locale-neutral,
// case-sensitive).
int ComparePhotoOrder(const PhotoEntry& a, const PhotoEntry& b);

// The text that stands for a file name in the name index: case folded, so that names differing
// only in case meet.
std::u16string FoldedNameKey(std::u16string_view name);
// A number for the folded name (FNV-1a over the units FoldedNameKey gives), without building the
// folded text for an ASCII name. Indexes keep this number instead of the text and confirm every
// candidate against the name itself.
std::uint64_t FoldedNameHash(std::u16string_view name);

// The base names in use in the folder, sorted without regard to case; always holds the entry
// "<no base name>", which stands for the empty base name.
class BaseNameList {
 public:
  BaseNameList();

  // Empties the list and puts "<no base name>" (from `strings`) into it.
  Status Reset(const StringModule& strings);
  void Clear();
  // Adds a base name and gives its index; an existing equal entry (without regard to case) counts
  // as success and gives its index. `added` tells whether the list grew. A name added without
  // asking for its index or growth waits and joins the list, with the others waiting, in one
  // sorted merge the next time the list is read: a folder scan adds thousands.
  Status Add(std::u16string_view text, int* index, bool* added = nullptr);
  // The index of an equal entry, or -1.
  int Find(std::u16string_view text) const;

  int Count() const {
    Settle();
    return items_.Count();
  }
  std::u16string_view At(int index) const {
    Settle();
    return items_.At(index).View();
  }
  // The index of "<no base name>", -1 before Reset.
  int NoBaseNameIndex() const { return Find(noBaseName_); }
  bool IsNoBaseName(int index) const;
  // The base-name text of an entry: empty for "<no base name>".
  std::u16string_view TextOf(int index) const;

 private:
  // Puts the waiting names into the list, as adding them one by one in order would have.
  void Settle() const;

  mutable ElementArray<CountedString> items_;
  mutable std::vector<std::u16string> waiting_;
  std::u16string noBaseName_;
};

class PhotoList {
 public:
  static constexpr int kInitialCapacity = 10;
  static constexpr int kGrowthStep = 20;

  PhotoList();

  int Count() const { return photos_.Count(); }
  bool IsEmpty() const { return photos_.Count() == 0; }
  PhotoEntry& At(int index) { return photos_.At(index); }
  const PhotoEntry& At(int index) const { return photos_.At(index); }

  int CurrentIndex() const { return current_; }
  void SetCurrentIndex(int index) { current_ = index; }
  int UnnamedCount() const { return unnamedCount_; }
  void AdjustUnnamedCount(int delta) { unnamedCount_ += delta; }

  std::uint32_t NavigationMode() const { return mode_; }
  void SetNavigationMode(std::uint32_t mode) { mode_ = mode; }

  BaseNameList& BaseNames() { return baseNames_; }
  const BaseNameList& BaseNames() const { return baseNames_; }

  // Drops every photo: no current photo, unnamed count 0, base names emptied.
  void Clear();
  // Inserts a record in its sorted place, counts it when unnamed and indexes its name.
  Status Insert(PhotoEntry entry, int* position = nullptr);
  // Takes many records at once (a folder scan): sorts them and puts them in the list, which must
  // be empty. Same result as inserting one by one, without moving the records around.
  // `keepGoing`, when set, is asked now and then; when it says no, the result is E_CANCELLED and
  // the list stays empty. Until the sorted records start moving into the list, `entries` then
  // still holds every record; afterwards it is emptied too.
  Status InsertAll(std::vector<PhotoEntry>& entries,
                   const std::function<bool()>& keepGoing = nullptr);
  // The same for records gathered in one array (a folder scan): they are sorted where they are
  // and the array becomes the list's own, so no record exists twice. On E_CANCELLED the list is
  // empty; `entries` still holds every record when the cancel came while sorting, none after.
  // `nameKeys`, when given, holds the collation key of each record's file name
  // (AppendInvariantSortKey, case kept), made ahead by the caller; the keys are taken.
  Status InsertAll(ElementArray<PhotoEntry>& entries,
                   const std::function<bool()>& keepGoing = nullptr,
                   std::vector<std::string>* nameKeys = nullptr);
  // Removes a record; the current index is left to the caller. Counts and the name index follow.
  void RemoveAt(int index);
  // Gives a record a new file name and keeps the name index in step.
  Status SetFileName(int index, std::u16string_view name);
  // Marks a record named or unnamed and keeps the unnamed count in step.
  void SetUnnamed(int index, bool unnamed);

  // Another photo (not `except`) whose file name equals `name` without regard to case, or -1.
  int FindOtherWithName(std::u16string_view name, int except) const;

  bool IsVisibleInMode(int index) const;
  int FirstVisible() const;
  int NextVisible(int index) const;
  int PreviousVisible(int index) const;
  int LastVisible() const;
  // Photos visible in the mode from `index` to the end of the list.
  int CountVisibleFrom(int index) const;

  // "Photo #{1} of {2}." and "{1} photos still to be named." / "{1} photo still to be named.".
  Status PhotoIndexText(const StringModule& strings, CountedString& text) const;
  Status UnnamedCountText(const StringModule& strings, CountedString& text) const;

 private:
  void IndexName(int index);
  void UnindexName(int index);
  void RebuildNameIndex();

  ElementArray<PhotoEntry> photos_;
  int current_ = -1;
  int unnamedCount_ = 0;
  std::uint32_t mode_ = kNavigateUnnamed;
  BaseNameList baseNames_;
  // Hash of the folded file name → indices of the photos with that name.
  std::unordered_multimap<std::uint64_t, int> names_;
};

}  // namespace lumatag
