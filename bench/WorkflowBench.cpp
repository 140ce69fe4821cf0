// The photo folder workflow at scale: scanning and classifying 10,000 camera-named JPEGs (files
// in the page cache after the first round), and Rename Remaining over 10,000 photos on tmpfs.
//
//   build/bench/bench_workflow
//   build/bench/bench_workflow --benchmark_filter=RenameRemaining   (journal and RAW pairs)
//
// Counters: per_photo (seconds per photo), heap_per_photo (bytes the list holds per photo, from
// the allocator's statistics).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchCheck.h"
#include "BenchProgram.h"
#include "photobuilder/PhotoBuilder.h"

namespace lumatag {
namespace {

using bench::Program;

constexpr int kPhotos = 10000;

std::string MakeFolder(const std::string& parent) {
  std::string pattern = parent + "/lumatag-bench-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

// Camera-named JPEGs with camera-like Exif data (maker note, the usual tags), both byte orders.
void WritePhotos(const std::string& folder, std::size_t makerNote, std::size_t imageBytes) {
  for (int i = 0; i < kPhotos; ++i) {
    const photo::Bytes bytes =
        photo::CameraLikePhoto(i % 2 ? photo::ByteOrder::kIntel : photo::ByteOrder::kMotorola, i,
                               makerNote)
            .Jpeg(photo::JpegOptions().ScanBytes(imageBytes));
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    std::ofstream(folder + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
}

void BM_ScanAndClassify(benchmark::State& state) {
  // Written once per run and removed when the program ends.
  struct Folder {
    Folder() : path(MakeFolder(std::filesystem::temp_directory_path().string())) {
      WritePhotos(path, 8192, 16 * 1024);
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::string path;
  };
  static const Folder photos;
  const std::string& folder = photos.path;
  Program program(folder, [](NamingSettings& naming) { naming.fileNavigationMode = kNavigateAll; });
  RequireSuccess(program.Workflow().RefreshPhotoList(true, true));  // warms the page cache
  std::size_t heldBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    program.Workflow().Photos().Clear();
    const std::size_t before = mallinfo2().uordblks;
    state.ResumeTiming();
    if (Failed(program.Workflow().RefreshPhotoList(false, false)))
      state.SkipWithError("scan failed");
    state.PauseTiming();
    const std::size_t after = mallinfo2().uordblks;
    heldBytes = after > before ? after - before : 0;
    if (program.Workflow().Photos().Count() != kPhotos) state.SkipWithError("wrong count");
    state.ResumeTiming();
  }
  state.counters["photos"] = kPhotos;
  state.counters["per_photo"] = benchmark::Counter(
      kPhotos, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["heap_per_photo"] = static_cast<double>(heldBytes) / kPhotos;
}
BENCHMARK(BM_ScanAndClassify)->Unit(benchmark::kMillisecond)->Iterations(5);

// Scan, then Rename Remaining of every photo (mode "All photos"), on tmpfs. Each round renames
// the names of the round before to a new base name. Argument 0: without the rename journal;
// 1: with it (on tmpfs as well); 2: with it, and every photo has a RAW file beside it that moves
// with it (20,000 files).
void BM_RenameRemaining(benchmark::State& state) {
  const std::string parent = std::filesystem::exists("/dev/shm")
                                 ? "/dev/shm"
                                 : std::filesystem::temp_directory_path().string();
  const std::string folder = MakeFolder(parent);
  WritePhotos(folder, 256, 256);
  if (state.range(0) == 2) {
    for (int i = 0; i < kPhotos; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/IMG_%04d.CR2", i);
      std::ofstream(folder + name, std::ios::binary) << "raw";
    }
  }
  const std::string journal = state.range(0) != 0 ? folder + ".journal" : "";
  Program program(
      folder, [](NamingSettings& naming) { naming.fileNavigationMode = kNavigateAll; }, journal);
  const int hash3 = [&] {
    for (int i = 0; i < program.app.Catalogue().Count(); ++i) {
      if (program.app.Catalogue().At(i).definition.View() == u"[name] #[001]") return i;
    }
    return -1;
  }();
  int round = 0;
  for (auto _ : state) {
    if (Failed(program.Workflow().RefreshPhotoList(true, false)))
      state.SkipWithError("scan failed");
    RequireSuccess(program.Workflow().ChoosePattern(program.app.Catalogue().At(hash3).name.View()));
    RequireSuccess(program.Workflow().ChooseBaseName(
        u"Round " + std::u16string(1, u'A' + (round++ % 26)), true, false));
    int renamed = 0;
    RequireSuccess(program.Workflow().RenameRemaining(&renamed, false));
    if (renamed != kPhotos) state.SkipWithError("not every photo was renamed");
  }
  state.counters["per_photo"] = benchmark::Counter(
      kPhotos, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::filesystem::remove_all(folder);
  if (!journal.empty()) std::filesystem::remove_all(journal);
}
BENCHMARK(BM_RenameRemaining)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace lumatag
