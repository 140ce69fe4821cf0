#include "platform/linux/FolderReadAhead.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace lumatag {

namespace {

// A step slower than this is a scan waiting for the device: files in memory take 15 to 40
// microseconds each, a photo read cold from a local disk 150 and more.
constexpr auto kSlowStep = std::chrono::microseconds(80);
// Reading ahead starts when three quarters of the steps of a sample of this many are slow: a
// scan of files in memory on a busy machine has a slow step now and then, not a run of them.
constexpr int kSample = 16;

}  // namespace

void FolderReadAhead::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    names_.clear();
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

bool FolderReadAhead::Step() {
  if (on_) return true;
  const auto now = std::chrono::steady_clock::now();
  if (steps_ > 0) {
    if (now - last_ > kSlowStep) ++slow_;
    // A step counts for at most two slow ones: one long pause of a busy machine weighs little.
    sampleTime_ += std::min<std::chrono::steady_clock::duration>(now - last_, 2 * kSlowStep);
  }
  last_ = now;
  if (++steps_ > kSample) {
    bool waiting;
    if (readers_ == 1) {
      waiting = slow_ * 4 >= kSample * 3;
    } else {
      // The sample's mean step, times the readers, in two samples in a row.
      waitingSamples_ = sampleTime_ * readers_ > kSlowStep * kSample ? waitingSamples_ + 1 : 0;
      waiting = waitingSamples_ >= 2;
    }
    if (waiting) {
      on_ = true;
      // Threads that cannot start leave the scan reading one file at a time, as without them.
      try {
        for (int i = 0; i < kThreads; ++i) threads_.emplace_back([this] { Work(); });
      } catch (...) {
      }
      return !threads_.empty();
    }
    steps_ = 1;
    slow_ = 0;
    sampleTime_ = {};
  }
  return false;
}

void FolderReadAhead::Add(std::string name) {
  if (threads_.empty()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    names_.push_back(std::move(name));
  }
  wake_.notify_one();
}

void FolderReadAhead::Work() {
  const auto buffer = std::make_unique<char[]>(kBytes);
  for (;;) {
    std::string name;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !names_.empty(); });
      if (stopping_) return;
      name = std::move(names_.front());
      names_.pop_front();
    }
    const int fd = openat(folder_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) continue;
    // Brings the pages into the cache; the bytes themselves are not needed.
    (void)!pread(fd, buffer.get(), kBytes, 0);
    close(fd);
  }
}

}  // namespace lumatag
