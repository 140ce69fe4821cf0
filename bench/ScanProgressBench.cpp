// A scan of 100,000 camera-named photos on a worker thread, as the desktop window runs it: how
// often progress arrives (the longest gap between two reports, start and end included) and how
// soon the scan stops after its cancel flag is set (from the other thread, midway).
//
//   build/bench/bench_scan_progress
//
// Counters: max_gap_ms (longest time without a progress report), reports, stop_ms (from setting
// the cancel flag to the scan's last report, which says it stopped), return_ms (to the scan's
// return, after it freed what it had read), photos_at_cancel.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "BenchCheck.h"
#include "BenchProgram.h"
#include "photobuilder/PhotoBuilder.h"

namespace lumatag {
namespace {

using bench::Program;

using Clock = std::chrono::steady_clock;
constexpr int kPhotos = 100000;

// 100,000 small camera-named JPEGs, written once per run and removed at the end.
struct Folder {
  Folder() {
    // In memory (tmpfs) where there is one: the files stand for photos in the page cache.
    const std::string parent = std::filesystem::exists("/dev/shm")
                                   ? "/dev/shm"
                                   : std::filesystem::temp_directory_path().string();
    path = parent + "/lumatag-scan-XXXXXX";
    if (mkdtemp(path.data()) == nullptr) std::abort();
    for (int i = 0; i < kPhotos; ++i) {
      const photo::Bytes bytes =
          photo::CameraLikePhoto(i % 2 ? photo::ByteOrder::kIntel : photo::ByteOrder::kMotorola, i,
                                 256)
              .Jpeg(photo::JpegOptions().ScanBytes(256));
      char name[32];
      std::snprintf(name, sizeof name, "/IMG_%06d.JPG", i);
      std::ofstream(path + name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    }
  }
  ~Folder() { std::filesystem::remove_all(path); }
  std::string path;
};

const Folder& Photos() {
  static const Folder folder;
  return folder;
}

void BM_ScanProgressGaps(benchmark::State& state) {
  Program program(Photos().path);
  double maxGap = 0;
  int reports = 0;
  for (auto _ : state) {
    ScanJob job;
    if (Failed(program.app.Workflow().PrepareScan(true, &job))) state.SkipWithError("prepare");
    ScanControl control;
    Clock::time_point last = Clock::now();
    control.progress = [&](const ScanProgress&) {
      const Clock::time_point now = Clock::now();
      maxGap = std::max(maxGap, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
      ++reports;
    };
    ScanOutcome outcome;
    std::thread worker([&] { outcome = job.Run(control); });
    worker.join();
    const double tail = std::chrono::duration<double, std::milli>(Clock::now() - last).count();
    maxGap = std::max(maxGap, tail);
    if (outcome.list.Count() != kPhotos) state.SkipWithError("wrong count");
    RequireSuccess(program.app.Workflow().FinishScan(std::move(outcome)));
  }
  state.counters["max_gap_ms"] = maxGap;
  state.counters["reports"] = reports;
}
BENCHMARK(BM_ScanProgressGaps)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ScanCancel(benchmark::State& state) {
  Program program(Photos().path);
  double worstStop = 0;
  double worstReturn = 0;
  int photosAtCancel = 0;
  for (auto _ : state) {
    ScanJob job;
    if (Failed(program.app.Workflow().PrepareScan(true, &job))) state.SkipWithError("prepare");
    std::atomic<bool> cancel{false};
    std::atomic<int> found{0};
    ScanControl control;
    control.cancel = &cancel;
    Clock::time_point stopped;
    control.progress = [&](const ScanProgress& progress) {
      if (progress.cancelled) stopped = Clock::now();
      found = progress.photosFound;
    };
    ScanOutcome outcome;
    Clock::time_point returned;
    std::thread worker([&] {
      outcome = job.Run(control);
      returned = Clock::now();
    });
    // Midway: cancel from this thread once half the photos are in.
    while (found.load() < kPhotos / 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Clock::time_point cancelled = Clock::now();
    cancel = true;
    worker.join();
    photosAtCancel = found.load();
    if (outcome.status != E_CANCELLED) state.SkipWithError("not cancelled");
    worstStop =
        std::max(worstStop, std::chrono::duration<double, std::milli>(stopped - cancelled).count());
    worstReturn = std::max(worstReturn,
                           std::chrono::duration<double, std::milli>(returned - cancelled).count());
  }
  state.counters["stop_ms"] = worstStop;
  state.counters["return_ms"] = worstReturn;
  state.counters["photos_at_cancel"] = photosAtCancel;
}
BENCHMARK(BM_ScanCancel)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace lumatag
