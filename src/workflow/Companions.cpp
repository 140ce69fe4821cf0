#include "workflow/Companions.h"

#include <array>
#include <memory>

#include "ports/TextComparer.h"
#include "workflow/NameProposal.h"

namespace lumatag {

namespace {

constexpr std::array<std::u16string_view, 17> kRawExtensions = {
    u"CR2", u"CR3", u"NEF", u"NRW", u"ARW", u"SR2", u"ORF", u"RW2", u"RAF",
    u"DNG", u"PEF", u"SRW", u"3FR", u"IIQ", u"X3F", u"CRW", u"RWL"};
constexpr std::array<std::u16string_view, 3> kSidecarExtensions = {u"XMP", u"THM", u"AAE"};

bool SameText(std::u16string_view a, std::u16string_view b) {
  return CompareInvariant(a, b, true) == 0;
}

bool IsXmp(std::u16string_view extension) {
  return SameText(extension, u"XMP");
}

// The name without its extension (the whole name when it has none).
std::u16string_view StemOf(std::u16string_view name) {
  const int dot = ExtensionDot(name);
  return dot < 0 ? name : name.substr(0, static_cast<std::size_t>(dot));
}

}  // namespace

bool IsRawExtension(std::u16string_view extension) {
  for (const std::u16string_view raw : kRawExtensions) {
    if (SameText(extension, raw)) return true;
  }
  return false;
}

bool IsCompanionExtension(std::u16string_view extension) {
  if (IsRawExtension(extension)) return true;
  for (const std::u16string_view sidecar : kSidecarExtensions) {
    if (SameText(extension, sidecar)) return true;
  }
  return false;
}

void CompanionIndex::Clear() {
  built_ = false;
  names_.clear();
  byStem_.clear();
  sharedStems_.clear();
}

Status CompanionIndex::Build(FileOperations& files, std::u16string_view folder,
                             const PhotoList& list) {
  Clear();
  // Names and types are all the index needs: no request per file where the folder tells the type.
  std::unique_ptr<FolderListing> listing;
  LT_TRY(files.OpenNameListing(folder, &listing));
  std::unordered_set<std::u16string> photoStems;
  for (int i = 0; i < list.Count(); ++i) {
    std::u16string stem = FoldedNameKey(StemOf(list.At(i).fileName.View()));
    if (!photoStems.insert(stem).second) sharedStems_.insert(std::move(stem));
  }
  FolderEntry entry;
  for (;;) {
    const Status next = listing->Next(&entry);
    if (next == E_NO_MORE_FILES) break;
    LT_TRY(next);
    if (entry.folder) continue;
    AddName(entry.name);
    const std::u16string_view extension = ExtensionOf(entry.name);
    if (extension.empty() || !IsCompanionExtension(extension)) continue;
    // A listed photo is renamed on its own (a RAW extension may be on the photo list).
    if (list.FindOtherWithName(entry.name, -1) >= 0) continue;
    Candidate candidate;
    candidate.stemLength = entry.name.size() - extension.size() - 1;
    candidate.xmp = IsXmp(extension);
    candidate.raw = IsRawExtension(extension);
    candidate.name = std::move(entry.name);
    std::u16string key =
        FoldedNameKey(std::u16string_view(candidate.name).substr(0, candidate.stemLength));
    byStem_.emplace(std::move(key), std::move(candidate));
  }
  built_ = true;
  return S_OK;
}

void CompanionIndex::AddName(std::u16string_view name) {
  names_.emplace(FoldedNameHash(name), std::u16string(name));
}

void CompanionIndex::RemoveName(std::u16string_view name) {
  const auto [first, last] = names_.equal_range(FoldedNameHash(name));
  for (auto it = first; it != last; ++it) {
    if (it->second == name) {
      names_.erase(it);
      return;
    }
  }
}

bool CompanionIndex::IsTaken(std::u16string_view name) const {
  const auto [first, last] = names_.equal_range(FoldedNameHash(name));
  for (auto it = first; it != last; ++it) {
    // Names that only share the hash are not the same name.
    if (SameText(it->second, name) && FoldedNameKey(it->second) == FoldedNameKey(name)) return true;
  }
  return false;
}

void CompanionIndex::Collect(std::u16string_view stem, bool xmpOnly,
                             std::vector<const Candidate*>* out) const {
  const auto [first, last] = byStem_.equal_range(FoldedNameKey(stem));
  for (auto it = first; it != last; ++it) {
    const Candidate& candidate = it->second;
    if (xmpOnly && !candidate.xmp) continue;
    if (!SameText(std::u16string_view(candidate.name).substr(0, candidate.stemLength), stem)) {
      continue;
    }
    bool seen = false;
    for (const Candidate* other : *out) seen = seen || other == &candidate;
    if (!seen) out->push_back(&candidate);
  }
}

void CompanionIndex::Plan(std::u16string_view photoName, std::u16string_view newName,
                          std::vector<CompanionMove>* moves) const {
  moves->clear();
  if (!built_) return;
  const std::u16string_view stem = StemOf(photoName);
  const std::u16string_view newStem = StemOf(newName);
  std::vector<const Candidate*> found;
  if (!sharedStems_.contains(FoldedNameKey(stem))) Collect(stem, false, &found);
  const std::size_t byStem = found.size();
  for (std::size_t i = 0; i < byStem; ++i) {
    const Candidate& candidate = *found[i];
    moves->push_back(
        {candidate.name, std::u16string(newStem) + candidate.name.substr(candidate.stemLength)});
  }
  // Sidecars named after a whole file: the photo's, then each RAW file's.
  std::vector<const Candidate*> sidecars;
  Collect(photoName, true, &sidecars);
  for (const Candidate* sidecar : sidecars) {
    bool planned = false;
    for (const Candidate* other : found) planned = planned || other == sidecar;
    if (planned) continue;
    moves->push_back(
        {sidecar->name, std::u16string(newName) + sidecar->name.substr(sidecar->stemLength)});
    found.push_back(sidecar);
  }
  for (std::size_t i = 0; i < byStem; ++i) {
    if (!found[i]->raw) continue;
    const std::u16string rawTarget = (*moves)[i].to;
    sidecars.clear();
    Collect(found[i]->name, true, &sidecars);
    for (const Candidate* sidecar : sidecars) {
      bool planned = false;
      for (const Candidate* other : found) planned = planned || other == sidecar;
      if (planned) continue;
      moves->push_back({sidecar->name, rawTarget + sidecar->name.substr(sidecar->stemLength)});
      found.push_back(sidecar);
    }
  }
}

void CompanionIndex::Moved(std::u16string_view from, std::u16string_view to) {
  if (!built_) return;
  RemoveName(from);
  AddName(to);
  // Whatever moved is settled: it is nobody's companion any more.
  const auto [first, last] = byStem_.equal_range(FoldedNameKey(StemOf(from)));
  for (auto it = first; it != last; ++it) {
    if (it->second.name == from) {
      byStem_.erase(it);
      return;
    }
  }
}

}  // namespace lumatag
