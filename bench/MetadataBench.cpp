// Reading photo metadata: the quick pass of a folder scan and the full pass of the current photo,
// over camera-like JPEG files on disk (in the page cache after the first round) and in memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchCheck.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/PhotoMetadataReader.h"
#include "photobuilder/PhotoBuilder.h"
#include "platform/fake/MemoryFileSystem.h"
#include "platform/linux/PosixReadableFile.h"

namespace lumatag {
namespace {

constexpr int kPhotos = 64;
// DateTimeOriginal and Orientation come with every quick pass; these are the tags that the
// built-in patterns name.
constexpr std::uint16_t kPatternTags[] = {
    kTagCopyright,    kTagPixelXDimension, kTagPixelYDimension, kTagUserComment,
    kTagExposureTime, kTagFNumber,         kTagISOSpeedRatings};

std::vector<std::uint8_t> CameraJpeg(int i) {
  // A maker note of 8 KiB and 64 KiB of image data, in both byte orders.
  return photo::CameraLikePhoto(i % 2 ? photo::ByteOrder::kIntel : photo::ByteOrder::kMotorola, i,
                                8192)
      .Jpeg(photo::JpegOptions().ScanBytes(64 * 1024));
}

// A folder of camera-like photos written once per run.
const std::string& PhotoFolder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumatag-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    for (int i = 0; i < kPhotos; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
      if (!photo::WriteFile(pattern + name, CameraJpeg(i))) std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(PhotoFolder(), ignored);
    });
    return pattern;
  }();
  return folder;
}

std::u16string PhotoName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
  return Utf8ToUtf16(name);
}

void ReadPhotos(benchmark::State& state, const MetadataReadContext& context,
                std::u16string_view folder, bool quick) {
  TagFilter filter;
  if (quick) {
    RequireSuccess(BuildQuickPassFilter(&filter, kPatternTags));
  } else {
    RequireSuccess(BuildFullPassFilter(&filter));
  }
  std::vector<std::u16string> names;
  for (int i = 0; i < kPhotos; ++i) names.push_back(PhotoName(i));
  PrivateHeap heap;
  int i = 0;
  std::int64_t entries = 0;
  for (auto _ : state) {
    PhotoFacts photo;
    RequireSuccess(SetupPhotoFacts(&photo, &heap, names[static_cast<std::size_t>(i)].c_str(),
                                   kNoDate, kNoPatternIndex, 0));
    if (Failed(ReadPhotoMetadata(context, folder, &photo, &filter, !quick))) {
      state.SkipWithError("read failed");
      break;
    }
    entries += photo.metadata.Count();
    i = (i + 1) % kPhotos;
  }
  state.counters["entries/photo"] =
      benchmark::Counter(static_cast<double>(entries) / static_cast<double>(state.iterations()));
}

void BM_QuickPassOnDisk(benchmark::State& state) {
  MetadataReadContext context;
  context.files = &PlatformReadableFileSystem();
  ReadPhotos(state, context, Utf8ToUtf16(PhotoFolder()), true);
}
BENCHMARK(BM_QuickPassOnDisk);

void BM_FullPassOnDisk(benchmark::State& state) {
  MetadataReadContext context;
  context.files = &PlatformReadableFileSystem();
  ReadPhotos(state, context, Utf8ToUtf16(PhotoFolder()), false);
}
BENCHMARK(BM_FullPassOnDisk);

// The same work without the operating system, to tell parsing time from system-call time.
const MemoryFileSystem& MemoryPhotos() {
  static const MemoryFileSystem* files = [] {
    auto* memory = new MemoryFileSystem;
    for (int i = 0; i < kPhotos; ++i) memory->Add(u"/p/" + PhotoName(i), CameraJpeg(i));
    return memory;
  }();
  return *files;
}

void BM_QuickPassInMemory(benchmark::State& state) {
  MetadataReadContext context;
  context.files = &MemoryPhotos();
  ReadPhotos(state, context, u"/p", true);
}
BENCHMARK(BM_QuickPassInMemory);

void BM_FullPassInMemory(benchmark::State& state) {
  MetadataReadContext context;
  context.files = &MemoryPhotos();
  ReadPhotos(state, context, u"/p", false);
}
BENCHMARK(BM_FullPassInMemory);

}  // namespace
}  // namespace lumatag
