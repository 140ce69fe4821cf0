// The desktop window's speed: start-up to the first painted window on a folder of 1,000 photos,
// and the preview of the next 24-megapixel photo, cold and with the read-ahead. Runs on Qt's
// offscreen platform.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "photobuilder/PhotoBuilder.h"
#include "platform/linux/HiveRegistryStore.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxStandardFolders.h"
#include "platform/linux/PosixReadableFile.h"
#include "shell/MainWindow.h"
#include "shell/PreviewDecoder.h"
#include "shell/ShellApplication.h"

namespace {

namespace fs = std::filesystem;

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_shell";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

std::string BenchFolder(const std::string& name) {
  const fs::path path = fs::temp_directory_path() / ("lumatag-bench-shell-" + name);
  fs::create_directories(path);
  return path.string();
}

// A JPEG of a real picture with an Exif block (Orientation, date taken).
void WriteJpeg(const std::string& path, int width, int height, int orientation, int variant) {
  if (fs::exists(path)) return;
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, width, height);
  gradient.setColorAt(0, QColor::fromHsv((variant * 40) % 360, 200, 230));
  gradient.setColorAt(1, QColor::fromHsv((variant * 40 + 180) % 360, 200, 120));
  painter.fillRect(image.rect(), gradient);
  for (int i = 0; i < 40; ++i) {
    painter.setBrush(QColor::fromHsv((i * 37) % 360, 180, 200));
    painter.drawEllipse(QPoint((i * 977) % width, (i * 613) % height), width / 20, height / 20);
  }
  painter.end();
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 90);
  using namespace lumatag::photo;
  PhotoBuilder exif(ByteOrder::kIntel);
  exif.Short(Ifd::kPrimary, 0x0112, {static_cast<std::uint16_t>(orientation)})
      .Ascii(Ifd::kExif, 0x9003, "2013:05:01 10:00:" + std::to_string(10 + variant % 50));
  JpegOptions options;
  options.scanBytes = 0;
  const Bytes segment = exif.Jpeg(options);
  const std::size_t length = (static_cast<std::size_t>(segment[4]) << 8) | segment[5];
  encoded.insert(2, QByteArray(reinterpret_cast<const char*>(segment.data()) + 2,
                               static_cast<qsizetype>(length + 2)));
  std::ofstream(path, std::ios::binary).write(encoded.constData(), encoded.size());
}

// Start-up (settings, catalogue, window, scan of 1,000 photos) to the first painted window.
// A fresh settings hive in `folder`: English, all photos, `imageFolder` as the working folder.
void WriteSettings(const std::string& folder, const std::string& imageFolder) {
  fs::remove(folder + "/settings.reg");
  std::ofstream(folder + "/settings.reg")
      << "Lumatag Settings Hive 1\n\n[HKEY_CURRENT_USER\\Software]\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Quarrytree Software]\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag]\n"
      << "\"UI Locale\"=dword:00000409\n\"File Navigation Mode\"=dword:00000000\n"
      << "\"Image Folder\"=\"" << imageFolder << "\"\n";
}

void BM_StartupToFirstPaint1000Photos(benchmark::State& state) {
  App();
  const std::string folder = BenchFolder("startup");
  const std::string photos = folder + "/photos";
  fs::create_directories(photos);
  for (int i = 1; i <= 1000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    WriteJpeg(photos + name, 1200, 800, 1 + (i % 2) * 5, i);
  }
  for (auto _ : state) {
    state.PauseTiming();
    WriteSettings(folder, photos + "/");
    lumatag::HiveRegistryStore registry(folder + "/settings.reg");
    lumatag::LinuxFileOperations files;
    lumatag::LinuxStandardFolders folders;
    lumatag::shell::ShellPorts ports;
    ports.registry = &registry;
    ports.files = &files;
    ports.readableFiles = &lumatag::PlatformReadableFileSystem();
    ports.folders = &folders;
    ports.textComparer = &lumatag::PlatformTextComparer();
    ports.programFolder = QString::fromStdString(folder);
    ports.wantedLocale = lumatag::shell::kEnglishLocale;
    state.ResumeTiming();

    lumatag::shell::ShellApplication shell(ports);
    if (lumatag::Failed(shell.InitApplication())) {
      state.SkipWithError("start-up failed");
      break;
    }
    QEventLoop loop;
    QObject::connect(shell.Window(), &lumatag::shell::MainWindow::firstPreviewPainted, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    shell.ShowMainWindow();
    loop.exec();

    state.PauseTiming();
    shell.ShutdownApplication();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupToFirstPaint1000Photos)->Unit(benchmark::kMillisecond)->Iterations(5);

const std::string& Photos24() {
  static const std::string folder = [] {
    const std::string f = BenchFolder("24mp");
    for (int i = 1; i <= 3; ++i) {
      WriteJpeg(f + "/P" + std::to_string(i) + ".JPG", 6000, 4000, i == 2 ? 6 : 1, i);
    }
    return f;
  }();
  return folder;
}

// The next photo's preview decoded when Next is pressed (no read-ahead).
void BM_NextPreview24MegapixelCold(benchmark::State& state) {
  App();
  const std::string folder = Photos24();
  int i = 0;
  for (auto _ : state) {
    const QString path =
        QString::fromStdString(folder + "/P" + std::to_string(1 + i++ % 3) + ".JPG");
    benchmark::DoNotOptimize(lumatag::shell::DecodePreview(path, 1, QSize(640, 480)));
  }
}
BENCHMARK(BM_NextPreview24MegapixelCold)->Unit(benchmark::kMillisecond);

// Next with the read-ahead: the person looks at the current photo while the next one decodes.
void BM_NextPreview24MegapixelReadAhead(benchmark::State& state) {
  App();
  const std::string folder = Photos24();
  lumatag::shell::PreviewWidget preview;
  preview.resize(660, 500);
  int i = 0;
  const auto pathOf = [&](int n) {
    return QString::fromStdString(folder + "/P" + std::to_string(1 + n % 3) + ".JPG");
  };
  preview.ShowPhoto(pathOf(i), 1);
  for (auto _ : state) {
    state.PauseTiming();
    preview.ReadAhead(pathOf(i + 1), 1);
    // The time the person spends looking at the photo before pressing Next.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    state.ResumeTiming();
    preview.ShowPhoto(pathOf(++i), 1);
  }
}
BENCHMARK(BM_NextPreview24MegapixelReadAhead)->Unit(benchmark::kMillisecond)->Iterations(10);

// The folder choice of a folder of 100,000 camera-named photos while the window's event loop is
// watched: the longest time the window's thread spent without turning to its events (max_gap_ms),
// from the click to the filled window, scan on the worker thread included.
class ScriptedChooser final : public lumatag::FolderChooser {
 public:
  explicit ScriptedChooser(std::u16string folder) : folder_(std::move(folder)) {}
  lumatag::Status Choose(std::u16string_view, std::u16string* folder) override {
    *folder = folder_;
    return lumatag::S_OK;
  }

 private:
  std::u16string folder_;
};

struct LargeFolder {
  LargeFolder() {
    // In memory (tmpfs) where there is one: the files stand for photos in the page cache.
    const std::string parent =
        fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    path = parent + "/lumatag-window-scan-XXXXXX";
    if (mkdtemp(path.data()) == nullptr) std::abort();
    for (int i = 0; i < 100000; ++i) {
      const lumatag::photo::Bytes bytes =
          lumatag::photo::CameraLikePhoto(lumatag::photo::ByteOrder::kIntel, i, 256)
              .Jpeg(lumatag::photo::JpegOptions().ScanBytes(256));
      // Camera names: ten cameras' prefixes, four digits each, as a large shared folder has them.
      static const char* const kPrefixes[] = {"IMG_", "DSC_", "DSCF", "_MG_", "DSC0",
                                              "SAM_", "PICT", "DSCN", "CIMG", "IMGP"};
      char name[32];
      std::snprintf(name, sizeof name, "/%s%04d.JPG", kPrefixes[i / 10000], i % 10000);
      std::ofstream(path + name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    }
  }
  ~LargeFolder() { fs::remove_all(path); }
  std::string path;
};

void BM_WindowDuringScanOf100000Photos(benchmark::State& state) {
  App();
  static const LargeFolder photos;
  const std::string folder = BenchFolder("large-scan");
  double maxGapMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    WriteSettings(folder, "");
    lumatag::HiveRegistryStore registry(folder + "/settings.reg");
    lumatag::LinuxFileOperations files;
    lumatag::LinuxStandardFolders folders;
    ScriptedChooser chooser(lumatag::Utf8ToUtf16(photos.path + "/"));
    lumatag::shell::ShellPorts ports;
    ports.registry = &registry;
    ports.files = &files;
    ports.readableFiles = &lumatag::PlatformReadableFileSystem();
    ports.folders = &folders;
    ports.textComparer = &lumatag::PlatformTextComparer();
    ports.folderChooser = &chooser;
    ports.programFolder = QString::fromStdString(folder);
    ports.wantedLocale = lumatag::shell::kEnglishLocale;
    lumatag::shell::ShellApplication shell(ports);
    if (lumatag::Failed(shell.InitApplication())) {
      state.SkipWithError("start-up failed");
      break;
    }
    shell.ShowMainWindow();
    QApplication::processEvents();
    state.ResumeTiming();

    // A timer that fires on every turn of the event loop records the gaps between turns.
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      if (last >= 0) longest = std::max(longest, now - last);
      last = now;
    });
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
      (void)shell.ChooseFolderCommand();
      // The turn after the filled window.
      QTimer::singleShot(0, &loop, &QEventLoop::quit);
    });
    clock.start();
    watch.start();
    loop.exec();
    watch.stop();
    if (shell.Workflow().Photos().Count() != 100000) state.SkipWithError("not every photo listed");
    maxGapMs = std::max(maxGapMs, static_cast<double>(longest) / 1e6);

    state.PauseTiming();
    shell.ShutdownApplication();
    state.ResumeTiming();
  }
  state.counters["max_gap_ms"] = maxGapMs;
}
BENCHMARK(BM_WindowDuringScanOf100000Photos)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
