#include "workflow/PhotoScanner.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
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

// One listed photo on its way into the list: the listing fills it in, any reading thread reads
// it, the scanning thread takes the photo into the list in listing order.
struct PendingPhoto {
  FolderEntry file;
  PhotoEntry photo;
  std::string nameKey;  // the collation key of the photo's name, which the list sorts on
  std::unique_ptr<ReadableFile> opened;  // kept while the photo's date is still to be asked for
  bool built = false;                    // `photo` is set up, read and classified (or `status`)
  Status status = S_OK;
  std::atomic<bool> done{false};
};

// What every reading thread shares: read only while the scan runs.
struct PhotoReading {
  PrivateHeap* heap;
  const ReadableFolder* folder;
  const MetadataReadContext* read;
  const TagFilter* tags;
  const PatternCatalogue* catalogue;
  const ExtensionListLookup* lookup;
};

// Sets the photo up with its file date, reads its metadata from the opened file (a photo whose
// metadata cannot be read is still listed, by its file date) and classifies its name.
void BuildPhoto(const PhotoReading& reading, FileTime created, PendingPhoto* pending) {
  PhotoEntry& photo = pending->photo;
  pending->built = true;
  pending->status = SetupPhotoFacts(&photo, reading.heap, pending->file.name.c_str(), &created,
                                    kNoPatternIndex, 0);
  if (Succeeded(pending->status)) {
    photo.flags |= kPhotoNamed;
    photo.flags &= ~(kPhotoOriginalFound | kPhotoOriginalIsCurrent);
    if (pending->opened != nullptr) {
      IgnoreStatus(ReadPhotoMetadata(*reading.read, std::move(pending->opened), &photo,
                                     reading.tags, false));
    }
    pending->status = ClassifyName(*reading.catalogue, &photo, reading.lookup);
    // Made here, on whichever thread reads the photo, rather than all at once while sorting.
    pending->nameKey.clear();
    AppendInvariantSortKey(photo.fileName.View(), false, &pending->nameKey);
  }
  pending->opened.reset();
}

// Opens the photo and, when its date is at hand (from the listing, else from the file just
// opened), builds it. A photo whose date must be asked for by name waits for the scanning thread,
// which owns the listing.
void ReadPendingPhoto(const PhotoReading& reading, PendingPhoto* pending) {
  const FolderEntry& file = pending->file;
  if (Failed(reading.folder->OpenForReading(file.name, file.nativeName, &pending->opened))) {
    pending->opened.reset();
  }
  FileTime created = file.creationTime;
  bool known = file.detailsKnown;
  if (!known && pending->opened != nullptr) {
    FileTime written = 0;
    std::uint64_t size = 0;
    known = Succeeded(pending->opened->OpenedDetails(&created, &written, &size));
  }
  if (known) BuildPhoto(reading, created, pending);
}

// The photos between the listing and the list, in a ring of slots. The scanning thread lists and
// takes photos out in listing order; it and the helper threads read them in between, each
// claiming the next one not yet claimed. Slot data is handed over by the `published_` (listing to
// readers) and `done` (reader to the scanning thread) stores.
class PhotoRing {
 public:
  explicit PhotoRing(int capacity) : slots_(static_cast<std::size_t>(capacity)) {}
  PhotoRing(const PhotoRing&) = delete;
  PhotoRing& operator=(const PhotoRing&) = delete;

  bool Empty() const { return taken_ == published_.load(std::memory_order_relaxed); }
  bool Full() const { return published_.load(std::memory_order_relaxed) - taken_ == slots_.size(); }
  std::uint64_t Published() const { return published_.load(std::memory_order_relaxed); }

  // Scanning thread: the next free slot, to be filled in and then published.
  PendingPhoto& Free() {
    return slots_[published_.load(std::memory_order_relaxed) % slots_.size()];
  }
  void Publish() {
    published_.fetch_add(1, std::memory_order_release);
    signal_.fetch_add(1, std::memory_order_release);
    signal_.notify_all();
  }

  // Claims and reads the next photo nobody reads yet; false when there is none.
  bool ReadNext(const PhotoReading& reading) {
    PendingPhoto* pending = nullptr;
    if (!Claim(&pending)) return false;
    ReadPendingPhoto(reading, pending);
    pending->done.store(true, std::memory_order_release);
    pending->done.notify_one();
    return true;
  }

  // Scanning thread: the oldest photo, read (by whichever thread claimed it) or not yet.
  PendingPhoto& Oldest() { return slots_[taken_ % slots_.size()]; }
  void WaitForOldest() { Oldest().done.wait(false, std::memory_order_acquire); }
  void TakeOldest() {
    Oldest().done.store(false, std::memory_order_relaxed);
    ++taken_;
  }

  // Helper threads: reads photos until Stop.
  void Help(const PhotoReading& reading) {
    for (;;) {
      const unsigned seen = signal_.load(std::memory_order_acquire);
      if (ReadNext(reading)) continue;
      if (stopping_.load(std::memory_order_acquire)) return;
      signal_.wait(seen, std::memory_order_acquire);
    }
  }
  // Ends the helpers after the photo each is reading.
  void Stop() {
    stopping_.store(true, std::memory_order_release);
    signal_.fetch_add(1, std::memory_order_release);
    signal_.notify_all();
  }

 private:
  // Claims the next photo nobody reads yet; false when every published one is claimed.
  bool Claim(PendingPhoto** pending) {
    std::uint64_t next = claimed_.load(std::memory_order_relaxed);
    while (next < published_.load(std::memory_order_acquire)) {
      if (claimed_.compare_exchange_weak(next, next + 1, std::memory_order_acquire,
                                         std::memory_order_relaxed)) {
        *pending = &slots_[next % slots_.size()];
        return true;
      }
    }
    return false;
  }

  std::vector<PendingPhoto> slots_;
  std::atomic<std::uint64_t> published_{0};
  std::atomic<std::uint64_t> claimed_{0};
  std::uint64_t taken_ = 0;  // scanning thread only
  std::atomic<unsigned> signal_{0};
  std::atomic<bool> stopping_{false};
};

// Helper threads of one scan; they end (after the photo each is reading) when this goes.
class RingHelpers {
 public:
  explicit RingHelpers(PhotoRing& ring) : ring_(ring) {}
  RingHelpers(const RingHelpers&) = delete;
  RingHelpers& operator=(const RingHelpers&) = delete;
  ~RingHelpers() {
    ring_.Stop();
    for (std::thread& thread : threads_) thread.join();
  }
  // Threads that cannot start leave the reading to the threads that did.
  void Start(int count, const PhotoReading& reading) {
    try {
      for (int i = 0; i < count; ++i)
        threads_.emplace_back([this, &reading] { ring_.Help(reading); });
    } catch (...) {
    }
  }

 private:
  PhotoRing& ring_;
  std::vector<std::thread> threads_;
};

// Photos in the ring while other threads read along: enough that no reader waits for the
// listing, few enough to hold little.
constexpr int kRingSlots = 64;

}  // namespace

int ScanJob::Readers(const ScanControl& control) const {
  int readers = control.readers;
  if (readers <= 0) {
    const unsigned processors = std::thread::hardware_concurrency();
    readers =
        processors == 0 ? 1 : static_cast<int>(std::min<unsigned>(processors, kMaxScanReaders));
  }
  // One thread where the files cannot be read from several, and while a test counts allocations
  // to make one fail: which allocation that is must not depend on the threads' timing.
  if (!readable_->ReadsInParallel() || heap_->FailingAllocations() ||
      PrivateHeap::Process().FailingAllocations()) {
    readers = 1;
  }
  return readers;
}

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
  const PhotoReading reading{heap_, photos.get(), &read, &tags_, catalogue_, &lookup};
  // With one reader the ring holds one photo: each is read as soon as it is listed.
  const int readers = Readers(control);
  PhotoRing ring(readers > 1 ? kRingSlots : 1);
  lister.SetReaders(readers);
  // Declared after the ring and the reading they use, so that they end first.
  RingHelpers helpers(ring);
  bool helping = false;
  // The records gather in one array that doubles as it fills and later becomes the list's own.
  ElementArray<PhotoEntry> entries(1, false, nullptr, heap_);
  std::vector<std::string> nameKeys;
  // Takes the oldest photo into the records, reading it here if nobody claimed it yet; a photo
  // whose date is not at hand is asked for by name (a file gone since it was listed is left out,
  // as the listing would have left it out a moment later).
  const auto takeOldest = [&] {
    while (!ring.Oldest().done.load(std::memory_order_acquire) && ring.ReadNext(reading)) {
    }
    ring.WaitForOldest();
    PendingPhoto& pending = ring.Oldest();
    if (!pending.built && Succeeded(lister.Details(&pending.file))) {
      BuildPhoto(reading, pending.file.creationTime, &pending);
    }
    pending.opened.reset();
    if (pending.built) {
      Status one = pending.status;
      if (Succeeded(one) && entries.Count() == entries.Capacity()) {
        const int capacity = entries.Capacity();
        one = entries.Reserve(capacity < 256 ? 256
                                             : capacity + (capacity < (1 << 28) ? capacity : 4096));
        if (Succeeded(one)) nameKeys.reserve(static_cast<std::size_t>(entries.Capacity()));
      }
      if (Succeeded(one)) one = entries.Insert(std::move(pending.photo), entries.Count());
      if (Succeeded(one)) nameKeys.push_back(std::move(pending.nameKey));
      if (Failed(one)) outcome.somePhotosNotListed = true;
      pending.photo = PhotoEntry();
      pending.built = false;
    }
    ring.TakeOldest();
  };
  // A cancel ends the scan with E_CANCELLED, after a last report.
  const auto markCancelled = [&progress, &clock, &status] {
    progress.cancelled = true;
    clock.Report(progress, true);
    status = E_CANCELLED;
  };
  const auto cancelled = [&] {
    if (!Cancelled(control)) return false;
    markCancelled();
    lister.End();
    return true;
  };
  while (Succeeded(listed)) {
    if (cancelled()) return outcome;
    ++progress.filesSeen;
    const FolderEntry& file = lister.Current();
    const std::u16string_view extension = ExtensionOf(file.name);
    if (!extension.empty() && extensions_.Find(extension)) {
      ++progress.photosFound;
      ring.Free().file = file;
      ring.Publish();
      // Helpers start with the second photo: a folder of one costs no thread.
      if (!helping && readers > 1 && ring.Published() > 1) {
        helping = true;
        helpers.Start(readers - 1, reading);
      }
      while (ring.Full()) takeOldest();
    }
    clock.Report(progress, false);
    listed = lister.Next();
  }
  while (!ring.Empty()) {
    if (cancelled()) return outcome;
    takeOldest();
  }
  lister.End();
  if (listed != E_NO_MORE_FILES) status = listed;
  if (cancelled()) return outcome;

  // Sorting a large folder's list takes a while: it reports progress and stops on a cancel too.
  const std::function<bool()> keepGoing = [&control, &clock, &progress] {
    clock.Report(progress, false);
    return !Cancelled(control);
  };
  PhotoList& list = outcome.list;
  const Status inserted = list.InsertAll(entries, keepGoing, &nameKeys);
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
    if (cancelled()) return outcome;
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
