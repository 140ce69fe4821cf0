#include "workflow/PhotoList.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <string>

#include "foundation/Numbers.h"
#include "foundation/StringIds.h"
#include "ports/TextComparer.h"
#include "workflow/StepwiseSort.h"

namespace lumatag {

int ComparePhotoOrder(const PhotoEntry& a, const PhotoEntry& b) {
  const int byDate = CompareCalendarFields(GetPictureTakenDate(a), GetPictureTakenDate(b));
  if (byDate != 0) return byDate;
  return CompareInvariant(a.fileName.View(), b.fileName.View(), false);
}

std::u16string FoldedNameKey(std::u16string_view name) {
  std::u16string folded(name.size(), u'\0');
  // ASCII folds by lowering A-Z alone; other text goes through the full case folding.
  bool ascii = true;
  for (std::size_t i = 0; i < name.size() && ascii; ++i) {
    const char16_t c = name[i];
    ascii = c < 0x80;
    folded[i] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
  }
  if (ascii) return folded;
  UErrorCode error = U_ZERO_ERROR;
  int32_t length =
      u_strFoldCase(reinterpret_cast<UChar*>(folded.data()), static_cast<int32_t>(folded.size()),
                    reinterpret_cast<const UChar*>(name.data()), static_cast<int32_t>(name.size()),
                    U_FOLD_CASE_DEFAULT, &error);
  if (error == U_BUFFER_OVERFLOW_ERROR) {
    folded.assign(static_cast<std::size_t>(length), u'\0');
    error = U_ZERO_ERROR;
    length = u_strFoldCase(reinterpret_cast<UChar*>(folded.data()), length,
                           reinterpret_cast<const UChar*>(name.data()),
                           static_cast<int32_t>(name.size()), U_FOLD_CASE_DEFAULT, &error);
  }
  if (U_FAILURE(error)) return std::u16string(name);
  folded.resize(static_cast<std::size_t>(length));
  return folded;
}

std::uint64_t FoldedNameHash(std::u16string_view name) {
  constexpr std::uint64_t kOffset = 14695981039346656037ull;
  constexpr std::uint64_t kPrime = 1099511628211ull;
  std::uint64_t hash = kOffset;
  bool ascii = true;
  for (char16_t c : name) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    hash = (hash ^ c) * kPrime;
  }
  if (ascii) return hash;
  hash = kOffset;
  for (char16_t c : FoldedNameKey(name)) hash = (hash ^ c) * kPrime;
  return hash;
}

// ---------------------------------------------------------------------------------------------
// BaseNameList

namespace {

int CompareIgnoringCase(const CountedString& key, const CountedString& element) {
  return CompareInvariant(key.View(), element.View(), true);
}

}  // namespace

BaseNameList::BaseNameList() : items_(10, true, CompareIgnoringCase) {
  IgnoreStatus(items_.Reserve(10));  // a first reservation only; adding grows the array
}

Status BaseNameList::Reset(const StringModule& strings) {
  items_.Clear();
  waiting_.clear();
  noBaseName_.assign(strings.Text(IDS_NO_BASE_NAME));
  return Add(noBaseName_, nullptr);
}

void BaseNameList::Clear() {
  items_.Clear();
  waiting_.clear();
}

void BaseNameList::Settle() const {
  if (waiting_.empty()) return;
  std::vector<std::u16string> waiting = std::move(waiting_);
  waiting_.clear();
  const auto less = [](const std::u16string& a, const std::u16string& b) {
    return CompareInvariant(a, b, true) < 0;
  };
  const auto compare = [](std::u16string_view key, const CountedString& element) {
    return CompareInvariant(key, element.View(), true);
  };
  // The first of equal names stays, and none equal to a name already listed joins. Names often
  // arrive sorted already (a folder scan adds them in order): one pass tells.
  if (!std::is_sorted(waiting.begin(), waiting.end(), less)) {
    std::stable_sort(waiting.begin(), waiting.end(), less);
  }
  std::vector<std::u16string> joining;
  joining.reserve(waiting.size());
  int at = 0;
  for (std::u16string& text : waiting) {
    if (!joining.empty() && CompareInvariant(joining.back(), text, true) == 0) continue;
    if (items_.Find(std::u16string_view(text), compare, &at)) continue;
    joining.push_back(std::move(text));
  }
  if (joining.empty()) return;
  ElementArray<CountedString> merged(10, true, CompareIgnoringCase);
  bool failed = Failed(merged.Reserve(items_.Count() + static_cast<int>(joining.size())));
  std::size_t next = 0;
  for (int i = 0; i <= items_.Count() && !failed; ++i) {
    while (next < joining.size() &&
           (i == items_.Count() || compare(joining[next], items_.At(i)) < 0)) {
      CountedString item;
      failed = Failed(item.Assign(joining[next])) ||
               Failed(merged.Insert(std::move(item), merged.Count()));
      if (failed) break;
      ++next;
    }
    if (!failed && i < items_.Count()) {
      failed = Failed(merged.Insert(std::move(items_.At(i)), merged.Count()));
    }
  }
  if (!failed) {
    items_ = std::move(merged);
    return;
  }
  // Out of memory while merging: what was moved goes back and the rest joins one by one, as far
  // as memory allows.
  ElementArray<CountedString> kept(10, true, CompareIgnoringCase);
  for (CountedString& item : merged) {
    if (!item.IsEmpty() || item.Capacity() > 0) (void)kept.Add(std::move(item));
  }
  for (int i = 0; i < items_.Count(); ++i) {
    if (items_.At(i).Capacity() > 0) (void)kept.Add(std::move(items_.At(i)));
  }
  for (const std::u16string& text : joining) {
    CountedString item;
    if (Succeeded(item.Assign(text))) (void)kept.Add(std::move(item));
  }
  items_ = std::move(kept);
}

Status BaseNameList::Add(std::u16string_view text, int* index, bool* added) {
  if (index == nullptr && added == nullptr) {
    waiting_.emplace_back(text);
    return S_OK;
  }
  Settle();
  if (added != nullptr) *added = false;
  int at = 0;
  const auto compare = [](std::u16string_view key, const CountedString& element) {
    return CompareInvariant(key, element.View(), true);
  };
  if (items_.Find(text, compare, &at)) {
    if (index != nullptr) *index = at;
    return S_OK;
  }
  CountedString item;
  LT_TRY(item.Assign(text));
  LT_TRY(items_.Insert(std::move(item), at));
  if (index != nullptr) *index = at;
  if (added != nullptr) *added = true;
  return S_OK;
}

int BaseNameList::Find(std::u16string_view text) const {
  Settle();
  int at = 0;
  const auto compare = [](std::u16string_view key, const CountedString& element) {
    return CompareInvariant(key, element.View(), true);
  };
  return items_.Find(text, compare, &at) ? at : -1;
}

bool BaseNameList::IsNoBaseName(int index) const {
  Settle();
  return index >= 0 && index < items_.Count() && !noBaseName_.empty() &&
         CompareInvariant(items_.At(index).View(), noBaseName_, true) == 0;
}

std::u16string_view BaseNameList::TextOf(int index) const {
  Settle();
  if (index < 0 || index >= items_.Count() || IsNoBaseName(index)) return {};
  return items_.At(index).View();
}

// ---------------------------------------------------------------------------------------------
// PhotoList

PhotoList::PhotoList()
    : photos_(kGrowthStep, true, [](const PhotoEntry& key, const PhotoEntry& element) {
        return ComparePhotoOrder(key, element);
      }) {
  IgnoreStatus(photos_.Reserve(kInitialCapacity));  // adding grows the array when this failed
}

void PhotoList::Clear() {
  photos_.Clear();
  names_.clear();
  current_ = -1;
  unnamedCount_ = 0;
  baseNames_.Clear();
}

Status PhotoList::Insert(PhotoEntry entry, int* position) {
  int at = 0;
  LT_TRY(photos_.Add(std::move(entry), &at));
  if (at != photos_.Count() - 1) {
    RebuildNameIndex();
  } else {
    IndexName(at);
  }
  if (current_ >= at) ++current_;
  if (photos_.At(at).flags & kPhotoUnnamed) ++unnamedCount_;
  if (position != nullptr) *position = at;
  return S_OK;
}

namespace {

// The order in which `count` records starting at `records` belong in the list: the index of the
// record for each place. E_CANCELLED when `keepGoing` said no.
Status SortedOrder(const PhotoEntry* records, std::size_t count,
                   const std::function<bool()>& keepGoing, std::vector<std::string>* nameKeys,
                   std::vector<int>* order) {
  // The photo order on a key taken once per photo: the picture-taken date packed so that
  // comparing the two words compares the calendar fields in order, then the file name's
  // collation key (one collation per photo instead of one per comparison).
  // The key's first 16 bytes are kept as two big-endian words as well (zero-padded, which orders
  // as the bytes do), so that most comparisons never reach the key's own storage.
  struct SortKey {
    std::uint64_t high;
    std::uint64_t low;
    std::uint64_t namePrefix[2];
    std::string name;
    int index;
  };
  const auto prefixWord = [](const std::string& key, std::size_t from) {
    std::uint64_t word = 0;
    for (std::size_t i = from; i < from + 8; ++i) {
      word = word << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    }
    return word;
  };
  constexpr std::size_t kKeysPerCheck = 1024;
  std::vector<SortKey> keys(count);
  for (std::size_t i = 0; i < count; ++i) {
    const SystemTime taken = GetPictureTakenDate(records[i]);
    keys[i].high = std::uint64_t{taken.year} << 48 | std::uint64_t{taken.month} << 32 |
                   std::uint64_t{taken.day} << 16 | taken.hour;
    keys[i].low =
        std::uint64_t{taken.minute} << 32 | std::uint64_t{taken.second} << 16 | taken.milliseconds;
    if (nameKeys != nullptr) {
      keys[i].name = std::move((*nameKeys)[i]);
    } else {
      AppendInvariantSortKey(records[i].fileName.View(), false, &keys[i].name);
    }
    keys[i].namePrefix[0] = prefixWord(keys[i].name, 0);
    keys[i].namePrefix[1] = prefixWord(keys[i].name, 8);
    keys[i].index = static_cast<int>(i);
    if (keepGoing && (i + 1) % kKeysPerCheck == 0 && !keepGoing()) return E_CANCELLED;
  }
  const bool sorted = StableSortInSteps(
      keys,
      [](const SortKey& a, const SortKey& b) {
        if (a.high != b.high) return a.high < b.high;
        if (a.low != b.low) return a.low < b.low;
        if (a.namePrefix[0] != b.namePrefix[0]) return a.namePrefix[0] < b.namePrefix[0];
        if (a.namePrefix[1] != b.namePrefix[1]) return a.namePrefix[1] < b.namePrefix[1];
        return a.name < b.name;
      },
      keepGoing);
  if (!sorted) return E_CANCELLED;
  order->resize(count);
  for (std::size_t i = 0; i < count; ++i) (*order)[i] = keys[i].index;
  return S_OK;
}

}  // namespace

Status PhotoList::InsertAll(std::vector<PhotoEntry>& entries,
                            const std::function<bool()>& keepGoing) {
  if (!(photos_.Count() == 0)) {
    for (PhotoEntry& entry : entries) LT_TRY(Insert(std::move(entry)));
    entries.clear();
    return S_OK;
  }
  constexpr std::size_t kRecordsPerCheck = 1024;
  std::vector<int> order;
  LT_TRY(SortedOrder(entries.data(), entries.size(), keepGoing, nullptr, &order));
  const int needed = static_cast<int>(entries.size());
  if (needed > photos_.Capacity()) {
    // Capacity grows in whole steps, as inserting one by one would have grown it.
    const int steps = (needed - photos_.Capacity() + kGrowthStep - 1) / kGrowthStep;
    LT_TRY(photos_.Reserve(photos_.Capacity() + steps * kGrowthStep));
  }
  names_.reserve(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    PhotoEntry& entry = entries[static_cast<std::size_t>(order[i])];
    const bool unnamed = (entry.flags & kPhotoUnnamed) != 0;
    LT_TRY(photos_.Insert(std::move(entry), photos_.Count()));
    IndexName(photos_.Count() - 1);
    if (unnamed) ++unnamedCount_;
    if (keepGoing && (i + 1) % kRecordsPerCheck == 0 && !keepGoing()) {
      // Too late to hand the records back: the list lets go of those it took.
      Clear();
      entries.clear();
      return E_CANCELLED;
    }
  }
  entries.clear();
  return S_OK;
}

Status PhotoList::InsertAll(ElementArray<PhotoEntry>& entries,
                            const std::function<bool()>& keepGoing,
                            std::vector<std::string>* nameKeys) {
  if (!(photos_.Count() == 0)) {
    for (PhotoEntry& entry : entries) LT_TRY(Insert(std::move(entry)));
    entries.Clear();
    return S_OK;
  }
  constexpr int kRecordsPerCheck = 1024;
  const int count = entries.Count();
  std::vector<int> order;
  if (nameKeys != nullptr && nameKeys->size() != static_cast<std::size_t>(count))
    nameKeys = nullptr;
  LT_TRY(
      SortedOrder(entries.begin(), static_cast<std::size_t>(count), keepGoing, nameKeys, &order));
  // Each record moves once along the cycles of the order: place i takes record order[i].
  PhotoEntry* records = entries.begin();
  for (int i = 0; i < count; ++i) {
    if (order[static_cast<std::size_t>(i)] < 0 || order[static_cast<std::size_t>(i)] == i) {
      continue;
    }
    PhotoEntry held = std::move(records[i]);
    int place = i;
    for (;;) {
      const int from = order[static_cast<std::size_t>(place)];
      order[static_cast<std::size_t>(place)] = -1;
      if (from == i) {
        records[place] = std::move(held);
        break;
      }
      records[place] = std::move(records[from]);
      place = from;
    }
  }
  photos_.TakeElementsOf(entries);
  names_.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    IndexName(i);
    if (photos_.At(i).flags & kPhotoUnnamed) ++unnamedCount_;
    if (keepGoing && (i + 1) % kRecordsPerCheck == 0 && !keepGoing()) {
      Clear();
      return E_CANCELLED;
    }
  }
  return S_OK;
}

void PhotoList::RemoveAt(int index) {
  if (photos_.At(index).flags & kPhotoUnnamed) --unnamedCount_;
  photos_.RemoveAt(index);
  RebuildNameIndex();
}

Status PhotoList::SetFileName(int index, std::u16string_view name) {
  CountedString newName(photos_.At(index).heap != nullptr ? photos_.At(index).heap
                                                          : &PrivateHeap::Process());
  LT_TRY(newName.Assign(name));
  UnindexName(index);
  photos_.At(index).fileName = std::move(newName);
  IndexName(index);
  return S_OK;
}

void PhotoList::SetUnnamed(int index, bool unnamed) {
  PhotoEntry& photo = photos_.At(index);
  const bool was = (photo.flags & kPhotoUnnamed) != 0;
  if (unnamed) {
    photo.flags |= kPhotoUnnamed | kPhotoUnnamedWhenListed;
  } else {
    photo.flags &= ~(kPhotoUnnamed | kPhotoUnnamedWhenListed);
  }
  if (was != unnamed) unnamedCount_ += unnamed ? 1 : -1;
}

int PhotoList::FindOtherWithName(std::u16string_view name, int except) const {
  const auto [first, last] = names_.equal_range(FoldedNameHash(name));
  int found = -1;
  std::u16string folded;
  for (auto it = first; it != last; ++it) {
    if (it->second == except) continue;
    const std::u16string_view other = photos_.At(it->second).fileName.View();
    if (CompareInvariant(other, name, true) != 0) continue;
    // Names that only share the hash are not the same name.
    if (folded.empty()) folded = FoldedNameKey(name);
    if (FoldedNameKey(other) != folded) continue;
    if (found < 0 || it->second < found) found = it->second;
  }
  return found;
}

void PhotoList::IndexName(int index) {
  names_.emplace(FoldedNameHash(photos_.At(index).fileName.View()), index);
}

void PhotoList::UnindexName(int index) {
  const auto [first, last] = names_.equal_range(FoldedNameHash(photos_.At(index).fileName.View()));
  for (auto it = first; it != last; ++it) {
    if (it->second == index) {
      names_.erase(it);
      return;
    }
  }
}

void PhotoList::RebuildNameIndex() {
  names_.clear();
  names_.reserve(static_cast<std::size_t>(photos_.Count()));
  for (int i = 0; i < photos_.Count(); ++i) IndexName(i);
}

bool PhotoList::IsVisibleInMode(int index) const {
  if (index < 0 || index >= photos_.Count()) return false;
  const bool unnamed = (photos_.At(index).flags & kPhotoUnnamed) != 0;
  switch (mode_) {
    case kNavigateAll:
      return true;
    case kNavigateUnnamed:
      return unnamed;
    case kNavigateNamed:
      return !unnamed;
    default:
      return false;
  }
}

int PhotoList::FirstVisible() const {
  if ((photos_.Count() == 0)) return -1;
  return IsVisibleInMode(0) ? 0 : NextVisible(0);
}

int PhotoList::NextVisible(int index) const {
  for (int i = std::max(index + 1, 0); i < photos_.Count(); ++i) {
    if (IsVisibleInMode(i)) return i;
  }
  return -1;
}

int PhotoList::PreviousVisible(int index) const {
  for (int i = std::min(index, photos_.Count()) - 1; i >= 0; --i) {
    if (IsVisibleInMode(i)) return i;
  }
  return -1;
}

int PhotoList::LastVisible() const {
  if ((photos_.Count() == 0)) return -1;
  const int last = photos_.Count() - 1;
  return IsVisibleInMode(last) ? last : PreviousVisible(last);
}

int PhotoList::CountVisibleFrom(int index) const {
  int count = 0;
  for (int i = std::max(index, 0); i < photos_.Count(); ++i) {
    if (IsVisibleInMode(i)) ++count;
  }
  return count;
}

namespace {

Status FillNumber(CountedString& text, int n, std::int64_t value) {
  CountedString number;
  LT_TRY(FormatUInt32(number, static_cast<std::uint32_t>(value)));
  return SubstitutePlaceholder(text, n, number);
}

}  // namespace

Status PhotoList::PhotoIndexText(const StringModule& strings, CountedString& text) const {
  LT_TRY(LoadString(strings, IDS_PHOTO_INDEX, text));
  const int shown = (current_ < 0 || (photos_.Count() == 0)) ? 0 : current_ + 1;
  LT_TRY(FillNumber(text, 1, shown));
  return FillNumber(text, 2, photos_.Count());
}

Status PhotoList::UnnamedCountText(const StringModule& strings, CountedString& text) const {
  LT_TRY(LoadString(strings, unnamedCount_ == 1 ? IDS_PHOTO_TO_BE_NAMED : IDS_PHOTOS_TO_BE_NAMED,
                    text));
  return FillNumber(text, 1, unnamedCount_);
}

}  // namespace lumatag
