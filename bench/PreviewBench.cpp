// The photo preview: decoding a 24-megapixel camera JPEG (about 8 MB) in full against decoding it
// for an 800 x 600 preview box, the way the picture control does. Reported as the median of
// several runs; the target is a scaled decode at least 5 times faster than the full one and under
// 150 ms.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <cstdio>

#include "photobuilder/ScenePhoto.h"
#include "ui/PreviewDecoder.h"

namespace {

// One generated photo for all runs, removed at exit.
const QString& PhotoPath() {
  static QTemporaryDir dir;
  static const QString path = [] {
    using namespace lumatag::photo;
    SceneOptions scene;
    scene.width = 6000;
    scene.height = 4000;
    scene.noise = 12;
    scene.quality = 92;
    const QString file = dir.filePath(QStringLiteral("IMG_2400.JPG"));
    const Bytes jpeg = SceneJpeg(CameraLikePhoto(ByteOrder::kIntel, 1, 8192, 1), scene);
    WriteFile(file.toStdString(), jpeg);
    std::fprintf(stderr, "preview photo: 6000 x 4000, %.1f MB\n", jpeg.size() / 1e6);
    return file;
  }();
  return path;
}

void BM_FullDecode(benchmark::State& state) {
  const QString& path = PhotoPath();
  QImageReader::setAllocationLimit(0);
  for (auto _ : state) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_PreviewDecode800x600(benchmark::State& state) {
  const QString& path = PhotoPath();
  for (auto _ : state) {
    lumatag::ui::PreviewImage preview;
    if (lumatag::ui::DecodePreview(path, QSize(800, 600), 1, &preview) < 0) {
      state.SkipWithError("decode failed");
    }
    benchmark::DoNotOptimize(preview.image.constBits());
  }
}

// Turned photos (Orientation 6) take the same path plus a turn of the small image.
void BM_PreviewDecode800x600Turned(benchmark::State& state) {
  const QString& path = PhotoPath();
  for (auto _ : state) {
    lumatag::ui::PreviewImage preview;
    if (lumatag::ui::DecodePreview(path, QSize(800, 600), 6, &preview) < 0) {
      state.SkipWithError("decode failed");
    }
    benchmark::DoNotOptimize(preview.image.constBits());
  }
}

BENCHMARK(BM_FullDecode)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PreviewDecode800x600)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PreviewDecode800x600Turned)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace
