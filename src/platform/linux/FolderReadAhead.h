// Reading ahead of a folder scan whose files are not in memory. A scan reads each file's first
// bytes one file after another, so on a cold card or network folder it waits for the device once
// per file. The listing hands each name it is about to return to this object; once the scan is
// seen to wait (the time between two names grows past what files in memory take), a few helper
// threads read the first bytes of the next names, so that several reads are in flight and the
// scan finds the pages cached. Only a hint: what the scan reads does not change.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumatag {

class FolderReadAhead {
 public:
  // Threads reading at once, names read ahead of the scan, and bytes read from each file. A disk
  // or network share serves many reads in flight much faster than one after another; the threads
  // only wait on the device.
  static constexpr int kThreads = 16;
  static constexpr std::size_t kDistance = 128;
  static constexpr std::size_t kBytes = 16 * 1024;

  // `folder` is the listing's open descriptor; it must outlive this object.
  explicit FolderReadAhead(int folder) : folder_(folder) {}
  ~FolderReadAhead() { Stop(); }
  FolderReadAhead(const FolderReadAhead&) = delete;
  FolderReadAhead& operator=(const FolderReadAhead&) = delete;

  // How many threads read the scan's files at once. With several, the scan steps whenever one of
  // them is done with a file: steps come that much more often, and unevenly, so the mean step of
  // a sample, times the readers, tells a scan that waits.
  void SetReaders(int readers) { readers_ = readers < 1 ? 1 : readers; }
  // The scan moved on to the next entry; says whether reading ahead is on.
  bool Step();
  // Reads `name` (a file of the folder) ahead, on a helper thread.
  void Add(std::string name);
  // Drops the names not read yet and ends the helper threads.
  void Stop();

 private:
  void Work();

  const int folder_;
  // When the scan last stepped, and how many steps of the current sample were slow.
  std::chrono::steady_clock::time_point last_{};
  int steps_ = 0;
  int slow_ = 0;
  std::chrono::steady_clock::duration sampleTime_{};
  int waitingSamples_ = 0;  // samples in a row that found the scan waiting (several readers)
  int readers_ = 1;
  bool on_ = false;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> names_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace lumatag
