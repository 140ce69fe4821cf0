// Folder scans on a worker thread: the window's event loop goes on while a large folder is
// scanned, the progress bar with its Cancel button appears for a long scan, Cancel stops it, other
// controls take no input meanwhile, and closing the window during a scan waits for it to stop.
//
// The scan is held at a gate midway until code run by the window's event loop opens it, so each
// test proves that the event loop ran during the scan without depending on the machine's speed.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

constexpr int kPhotos = 400;

// Holds the scanning thread after a number of folder entries until opened (or a generous time has
// passed, which the tests report as a failure).
class ScanGate {
 public:
  explicit ScanGate(int holdAfter) : holdAfter_(holdAfter) {}
  void BeforeEntry() {
    std::unique_lock lock(mutex_);
    if (++entries_ != holdAfter_) return;
    held_ = true;
    if (!opened_.wait_for(lock, std::chrono::seconds(30), [this] { return open_; })) {
      timedOut_ = true;
    }
  }
  void Open() {
    {
      const std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }
  bool Held() {
    const std::lock_guard lock(mutex_);
    return held_;
  }
  bool TimedOut() {
    const std::lock_guard lock(mutex_);
    return timedOut_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  int holdAfter_;
  int entries_ = 0;
  bool held_ = false;
  bool open_ = false;
  bool timedOut_ = false;
};

class BackgroundScanTest : public ShellTest {
 protected:
  BackgroundScanTest() {
    std::vector<std::string> names;
    for (int i = 0; i < kPhotos; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%04d.JPG", i + 1);
      names.emplace_back(name);
    }
    AddPhotos(names);
    WriteSettings(photos_ + "/", 0);
    files_->beforeEntry = [this] { gate_.BeforeEntry(); };
  }
  // The photo folder under another name: choosing it is a change of folder, with a rescan.
  std::u16string Alias() {
    std::error_code error;
    std::filesystem::create_directory_symlink(photos_, dir_.File("alias"), error);
    return Utf8ToUtf16(dir_.File("alias") + "/");
  }
  // Runs `whileScanning` from the window's event loop once the scan is held at the gate.
  void WhileScanning(std::function<void()> whileScanning) {
    QTimer::singleShot(0, [this, whileScanning = std::move(whileScanning)] {
      ASSERT_TRUE(QTest::qWaitFor([this] { return gate_.Held(); }, 30000));
      scanRanMeanwhile_ = shell_ && Window().ScanRunning();
      whileScanning();
    });
  }

  ScanGate gate_{kPhotos / 2};
  bool scanRanMeanwhile_ = false;
};

TEST_F(BackgroundScanTest, LargeFolderScansWhileTheWindowGoesOn) {
  bool progressShown = false;
  WhileScanning([&] {
    // The first scan of a start-up that takes long shows the window and its progress bar.
    progressShown = QTest::qWaitFor([this] { return Window().ScanProgressShown(); }, 30000);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_TRUE(Window().ScanCancelButton()->isVisible());
    // Shown before the scan ends, the window shows its folder and nothing to act on yet.
    EXPECT_EQ(Control(kFolderPath)->accessibleName(), QString::fromStdString(photos_));
    EXPECT_EQ(Label(kPhotoIndexText)->text(), QStringLiteral("Photo #0 of 0."));
    EXPECT_FALSE(Control(kRenameButton)->isEnabled());
    EXPECT_FALSE(Control(kNextButton)->isEnabled());
    gate_.Open();
  });
  ASSERT_TRUE(Start());
  EXPECT_TRUE(scanRanMeanwhile_);
  EXPECT_TRUE(progressShown);
  EXPECT_FALSE(gate_.TimedOut());
  EXPECT_FALSE(Window().ScanRunning());
  EXPECT_FALSE(Window().ScanProgressShown());
  EXPECT_EQ(Box(kPhotoBox)->count(), kPhotos);
  EXPECT_EQ(Box(kPhotoBox)->currentText(), QStringLiteral("IMG_0001.JPG"));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(BackgroundScanTest, CancelStopsTheScanAndOtherControlsTakeNoInputMeanwhile) {
  WhileScanning([&] {
    ASSERT_TRUE(QTest::qWaitFor([this] { return Window().ScanProgressShown(); }, 30000));
    // The Folder button is not pressed while the scan runs.
    QTest::mouseClick(Button(kFolderButton), Qt::LeftButton);
    QTest::keyClick(&Window(), Qt::Key_F, Qt::AltModifier);
    QTest::mouseClick(Window().ScanCancelButton(), Qt::LeftButton);
    gate_.Open();
  });
  ASSERT_TRUE(Start());
  EXPECT_TRUE(scanRanMeanwhile_);
  EXPECT_FALSE(gate_.TimedOut());
  EXPECT_TRUE(chooser_.starts.empty());
  EXPECT_FALSE(Window().ScanRunning());
  EXPECT_FALSE(Window().ScanProgressShown());
  // Nothing half-scanned is shown, and a cancel is not a failure to report.
  EXPECT_EQ(Box(kPhotoBox)->count(), 0);
  EXPECT_EQ(Label(kPhotoIndexText)->text(), QStringLiteral("Photo #0 of 0."));
  EXPECT_TRUE(presenter_.shown.empty());
  // Choosing the folder again (under another name) scans it.
  files_->beforeEntry = nullptr;
  chooser_.answer = Alias();
  Button(kFolderButton)->click();
  EXPECT_EQ(Box(kPhotoBox)->count(), kPhotos);
}

TEST_F(BackgroundScanTest, EscapeCancelsTooAndARescanKeepsTheOldListOnShowMeanwhile) {
  files_->beforeEntry = nullptr;
  ASSERT_TRUE(Start());
  ASSERT_EQ(Box(kPhotoBox)->count(), kPhotos);
  files_->beforeEntry = [this] { gate_.BeforeEntry(); };
  int shownMeanwhile = -1;
  WhileScanning([&] {
    shownMeanwhile = Box(kPhotoBox)->count();
    QTest::keyClick(Control(kNewNameBox), Qt::Key_Escape);
    gate_.Open();
  });
  chooser_.answer = Alias();
  Button(kFolderButton)->click();
  EXPECT_TRUE(scanRanMeanwhile_);
  EXPECT_FALSE(gate_.TimedOut());
  EXPECT_EQ(shownMeanwhile, kPhotos);
  // The old list is not left on show under the new working folder.
  EXPECT_EQ(Box(kPhotoBox)->count(), 0);
  EXPECT_EQ(Control(kFolderPath)->accessibleName(), QString::fromStdString(dir_.File("alias")));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(BackgroundScanTest, ClosingTheWindowDuringAScanStopsItThenCloses) {
  files_->beforeEntry = nullptr;
  ASSERT_TRUE(Start());
  files_->beforeEntry = [this] { gate_.BeforeEntry(); };
  WhileScanning([&] {
    Window().close();
    // Still open: the scan stops first.
    EXPECT_TRUE(Window().isVisible());
    gate_.Open();
  });
  chooser_.answer = Alias();
  Button(kFolderButton)->click();
  EXPECT_TRUE(scanRanMeanwhile_);
  EXPECT_FALSE(gate_.TimedOut());
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Window().isVisible(); }, 30000));
}

}  // namespace
}  // namespace lumatag::shell
