// Scanning the working folder: listing its files, keeping those with a photo file extension,
// reading each photo's quick-pass tags and classifying its name, into a new photo list. A scan
// shows nothing and changes nothing it was given; it may run on a worker thread, reports progress
// with counts and stops soon after its cancel flag is set. The list a front-end shows stays as it
// is until the finished list is handed over (PhotoWorkflow::FinishScan). Photos are read on as
// many threads as the machine has processors (ScanControl::readers); the list is the same.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "foundation/AppContext.h"
#include "metadata/IfdReader.h"
#include "patterns/PatternCatalogue.h"
#include "ports/FileOperations.h"
#include "ports/ReadableFile.h"
#include "workflow/ExtensionList.h"
#include "workflow/PhotoList.h"

namespace lumatag {

struct ScanProgress {
  int filesSeen = 0;       // folder entries looked at
  int photosFound = 0;     // photo files among them
  bool finished = false;   // the last report of a scan that ran to its end
  bool cancelled = false;  // the last report of a cancelled scan, before what it held is freed
};

struct ScanControl {
  // Set from any thread to stop the scan; it then ends with E_CANCELLED.
  const std::atomic<bool>* cancel = nullptr;
  // Called on the scanning thread: first at the start, then whenever `progressInterval` has passed
  // since the last call, and once at the end.
  std::function<void(const ScanProgress&)> progress;
  std::chrono::steady_clock::duration progressInterval = std::chrono::milliseconds(50);
  // Threads reading photos at once: 0 takes one per processor (at most kMaxScanReaders), 1 reads
  // every photo on the scanning thread. A file system that cannot be read from several threads
  // gets one.
  int readers = 0;
};

inline constexpr int kMaxScanReaders = 4;

// What a scan produced.
struct ScanOutcome {
  // S_OK, E_CANCELLED, or the failure of the listing (the list then holds what was found before).
  Status status = S_OK;
  // Some photo could not be set up or listed.
  bool somePhotosNotListed = false;
  PhotoList list;
};

// Everything one scan reads. The job keeps its own copies of the folder, the extension list and
// the tag list, so the program may go on changing those; the catalogue, the file system and the
// strings are borrowed and must stay unchanged until the scan has ended.
class ScanJob {
 public:
  ScanJob() = default;
  ScanJob(const ScanJob&) = delete;
  ScanJob& operator=(const ScanJob&) = delete;

  Status Prepare(AppContext& context, FileOperations& files, const ReadableFileSystem& readable,
                 const PatternCatalogue& catalogue, const ExtensionList& extensions,
                 const TagFilter& quickPassTags, std::u16string_view folder);

  // Runs the scan; safe on any one thread at a time.
  ScanOutcome Run(const ScanControl& control = {}) const;

 private:
  int Readers(const ScanControl& control) const;

  PrivateHeap* heap_ = nullptr;
  const StringModule* strings_ = nullptr;
  FileOperations* files_ = nullptr;
  const ReadableFileSystem* readable_ = nullptr;
  const PatternCatalogue* catalogue_ = nullptr;
  ExtensionList extensions_;
  TagFilter tags_;
  std::u16string folder_;
};

}  // namespace lumatag
