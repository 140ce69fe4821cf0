#include "workflow/FolderLister.h"

#include "foundation/Path.h"

namespace lumatag {

namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  return c;
}

bool MatchOne(std::u16string_view name, std::u16string_view pattern) {
  // Iterative wildcard match with one backtracking point for the last "*".
  std::size_t n = 0, p = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesNamePattern(std::u16string_view name, std::u16string_view patterns) {
  while (true) {
    const std::size_t semicolon = patterns.find(u';');
    std::u16string_view one = patterns.substr(0, semicolon);
    while (!one.empty() && one.front() == u' ') one.remove_prefix(1);
    if (!one.empty() && MatchOne(name, one)) return true;
    if (semicolon == std::u16string_view::npos) return false;
    patterns.remove_prefix(semicolon + 1);
  }
}

Status FolderLister::Start(std::u16string_view folder, std::u16string_view pattern,
                           unsigned options) {
  End();
  root_ = folder;
  if (!root_.empty() && root_.back() != kPathSeparator) root_ += kPathSeparator;
  pattern_ = pattern;
  options_ = options;
  std::unique_ptr<FolderListing> listing;
  LT_TRY((options & kNamesFirst) != 0 ? files_.OpenNameListing(root_, &listing)
                                      : files_.OpenListing(root_, &listing));
  levels_.push_back({std::move(listing), std::u16string()});
  return Next();
}

Status FolderLister::Next() {
  currentListing_ = nullptr;
  while (!levels_.empty()) {
    Level& level = levels_.back();
    FolderListing* const listing = level.listing.get();
    FolderEntry entry;
    const Status status = listing->Next(&entry);
    if (status == E_NO_MORE_FILES) {
      // The folder's own listing stays open until End: Details may still ask it.
      if (levels_.size() == 1) ended_ = std::move(level.listing);
      levels_.pop_back();
      continue;
    }
    LT_TRY(status);
    const std::u16string prefix = level.prefix;
    if (entry.folder && (options_ & kRecurse) != 0) {
      std::unique_ptr<FolderListing> nested;
      const std::u16string nestedPrefix = prefix + entry.name + kPathSeparator;
      const std::u16string nestedPath = root_ + nestedPrefix;
      const Status opened = (options_ & kNamesFirst) != 0
                                ? files_.OpenNameListing(nestedPath, &nested)
                                : files_.OpenListing(nestedPath, &nested);
      if (Succeeded(opened)) {
        levels_.push_back({std::move(nested), nestedPrefix});
      }
    }
    const bool wanted = entry.folder ? (options_ & kFolders) != 0 : (options_ & kFiles) != 0;
    if (!wanted || (!pattern_.empty() && !MatchesNamePattern(entry.name, pattern_))) continue;
    current_ = std::move(entry);
    currentPrefix_ = prefix;
    currentListing_ = listing;
    return S_OK;
  }
  return E_NO_MORE_FILES;
}

Status FolderLister::CurrentDetails() {
  if (current_.detailsKnown) return S_OK;
  if (currentListing_ == nullptr) return E_UNEXPECTED;
  return currentListing_->Details(&current_);
}

Status FolderLister::Details(FolderEntry* entry) {
  if (entry->detailsKnown) return S_OK;
  FolderListing* const listing = levels_.empty() ? ended_.get() : levels_.front().listing.get();
  if (listing == nullptr) return E_UNEXPECTED;
  return listing->Details(entry);
}

std::u16string FolderLister::CurrentRelativePath() const {
  return currentPrefix_ + current_.name;
}

bool FolderExists(FileOperations& files, std::u16string_view path) {
  std::unique_ptr<FolderListing> listing;
  return !path.empty() && Succeeded(files.OpenListing(path, &listing));
}

}  // namespace lumatag
