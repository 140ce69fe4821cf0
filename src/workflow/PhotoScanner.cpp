#include "workflow/PhotoScanner.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "metadata/PhotoMetadataReader.h"
#include "patterns/Classification.h"
#include "ports/TextComparer.h"
#include "workflow/ExtensionListLookup.h"
#include "workflow/FolderLister.h"
#include "workflow/NameProposal.h"
#include "workflow/StepwiseSort.h"

namespace lumatag {

Status ScanJob::Prepare(AppContext& context, FileOperations& files,
                        const ReadableFileSystem& readable, const PatternCatalogue& catalogue,
                        const ExtensionList& extensions, const TagFilter& quickPassTags,
                        std::u16string_view folder) {
  heap_ = context.heap;
  strings_ = context.resourceModule;
  files_ = &files;
  readable_ = &readable;
  catalogue_ = &catalogue;
  LT_TRY(extensions_.CopyFrom(extensions));
  tags_.Clear();
  const ElementArray<std::uint32_t>& tags = quickPassTags.tags();
  for (int i = 0; i < tags.Count(); ++i) LT_TRY(tags_.Add(tags.At(i)));
  folder_.assign(folder);
  return S_OK;
}

namespace {

// Reports progress at the start, at the control's interval and at the end.
class ProgressClock {
 public:
  explicit ProgressClock(const ScanControl& control) : control_(control) {}
  void Report(const ScanProgress& progress, bool force) {
    if (!control_.progress) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < control_.progressInterval) return;
    last_ = now;
    control_.progress(progress);
  }

 private:
  const ScanControl& control_;
  std::chrono::steady_clock::time_point last_{};
};

bool Cancelled(const ScanControl& control) {
  return control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed);
}

}  // namespace

ScanOutcome ScanJob::Run(const ScanControl& control) const {
  ScanOutcome outcome;
  Status& status = outcome.status;
  status = outcome.list.BaseNames().Reset(*strings_);
  if (Failed(status) || folder_.empty()) return outcome;

  ScanProgress progress;
  ProgressClock clock(control);
  clock.Report(progress, true);

  const ExtensionListLookup lookup(extensions_);
  // Each photo opens relative to the folder held open, and its times come from the opened file:
  // the listing asks nothing per file that the folder itself tells.
  std::unique_ptr<ReadableFolder> photos;
  status = readable_->OpenFolder(folder_, &photos);
  if (Failed(status)) return outcome;
  FolderLister lister(*files_);
  Status listed = lister.Start(folder_, u"", FolderLister::kFiles | FolderLister::kNamesFirst);
  MetadataReadContext read;
  read.files = readable_;
  read.strings = strings_;
  read.deferText = true;
  // The records gather in one array that doubles as it fills and later becomes the list's own.
  ElementArray<PhotoEntry> entries(1, false, nullptr, heap_);
  while (Succeeded(listed)) {
    if (Cancelled(control)) {
      progress.cancelled = true;
      clock.Report(progress, true);
      lister.End();
      status = E_CANCELLED;
      return outcome;
    }
    ++progress.filesSeen;
    const FolderEntry& file = lister.Current();
    const std::u16string_view extension = ExtensionOf(file.name);
    if (!extension.empty() && extensions_.Find(extension)) {
      ++progress.photosFound;
      std::unique_ptr<ReadableFile> opened;
      const Status openStatus = photos->OpenForReading(file.name, file.nativeName, &opened);
      if (Failed(openStatus)) opened.reset();
      // The photo's file date: from the listing, else from the file just opened, else (a file
      // that cannot be opened) asked for by name; a file gone since it was listed is left out,
      // as the listing would have left it out a moment later.
      FileTime created = file.creationTime;
      bool known = file.detailsKnown;
      if (!known && opened != nullptr) {
        FileTime written = 0;
        std::uint64_t size = 0;
        known = Succeeded(opened->OpenedDetails(&created, &written, &size));
      }
      if (!known) {
        known = Succeeded(lister.CurrentDetails());
        created = lister.Current().creationTime;
      }
      if (known) {
        PhotoEntry photo;
        Status one =
            SetupPhotoFacts(&photo, heap_, file.name.c_str(), &created, kNoPatternIndex, 0);
        if (Succeeded(one)) {
          photo.flags |= kPhotoNamed;
          photo.flags &= ~(kPhotoOriginalFound | kPhotoOriginalIsCurrent);
          // A photo whose metadata cannot be read is still listed, by its file date.
          if (opened != nullptr) {
            IgnoreStatus(ReadPhotoMetadata(read, std::move(opened), &photo, &tags_, false));
          }
          one = ClassifyName(*catalogue_, &photo, &lookup);
        }
        if (Succeeded(one) && entries.Count() == entries.Capacity()) {
          const int capacity = entries.Capacity();
          one = entries.Reserve(
              capacity < 256 ? 256 : capacity + (capacity < (1 << 28) ? capacity : 4096));
        }
        if (Succeeded(one)) one = entries.Insert(std::move(photo), entries.Count());
        if (Failed(one)) {
          outcome.somePhotosNotListed = true;
        }
      }
    }
    clock.Report(progress, false);
    listed = lister.Next();
  }
  lister.End();
  if (listed != E_NO_MORE_FILES) status = listed;
  if (Cancelled(control)) {
    progress.cancelled = true;
    clock.Report(progress, true);
    status = E_CANCELLED;
    return outcome;
  }

  // Sorting a large folder's list takes a while: it reports progress and stops on a cancel too.
  const std::function<bool()> keepGoing = [&control, &clock, &progress] {
    clock.Report(progress, false);
    return !Cancelled(control);
  };
  const auto markCancelled = [&progress, &clock, &status] {
    progress.cancelled = true;
    clock.Report(progress, true);
    status = E_CANCELLED;
  };
  PhotoList& list = outcome.list;
  const Status inserted = list.InsertAll(entries, keepGoing);
  if (inserted == E_CANCELLED) {
    markCancelled();
    return outcome;
  }
  if (Failed(inserted)) outcome.somePhotosNotListed = true;
  // The base names in use, added in their sorted order so that each lands at the end of the
  // sorted list: a folder of many different base names costs no more than a few.
  struct BaseName {
    std::u16string_view text;
    std::string key;
  };
  std::vector<BaseName> baseNames;
  for (int i = 0; i < list.Count(); ++i) {
    const PhotoEntry& photo = list.At(i);
    if ((photo.flags & kPhotoUnnamed) == 0 && photo.baseNameLength > 0 &&
        photo.baseNameStart + photo.baseNameLength <= photo.fileName.Length()) {
      BaseName base{photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength), {}};
      AppendInvariantSortKey(base.text, true, &base.key);
      baseNames.push_back(std::move(base));
      if (baseNames.size() % 1024 == 0 && !keepGoing()) {
        markCancelled();
        return outcome;
      }
    }
  }
  if (!StableSortInSteps(
          baseNames, [](const BaseName& a, const BaseName& b) { return a.key < b.key; },
          keepGoing)) {
    markCancelled();
    return outcome;
  }
  const BaseName* previous = nullptr;
  for (const BaseName& base : baseNames) {
    if (Cancelled(control)) {
      markCancelled();
      return outcome;
    }
    // Equal keys are names equal without regard to case: the list keeps the first of them, the
    // others would add nothing. A folder of many photos mostly shares a few base names.
    if (previous != nullptr && previous->key == base.key) continue;
    previous = &base;
    if (Failed(list.BaseNames().Add(base.text, nullptr))) outcome.somePhotosNotListed = true;
    clock.Report(progress, false);
  }
  progress.finished = true;
  clock.Report(progress, true);
  return outcome;
}

}  // namespace lumatag
