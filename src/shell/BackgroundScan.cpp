#include "shell/BackgroundScan.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <thread>

#include "crash/CrashHandler.h"
#include "shell/MainWindow.h"

namespace lumatag::shell {

namespace {

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

// How often the window looks at the scan's progress.
constexpr int kProgressTickMs = 100;

}  // namespace

BackgroundScan::BackgroundScan(MainWindow& window, std::function<void()> showWindow)
    : QObject(&window), window_(window), showWindow_(std::move(showWindow)) {}

BackgroundScan::~BackgroundScan() = default;

void BackgroundScan::Cancel() {
  if (running_) cancel_ = true;
}

ScanOutcome BackgroundScan::Run(const ScanJob& job, const ScanControl& control) {
  // A scan asked for while another one runs (nothing the person can do starts one) runs at once.
  if (running_) return job.Run(control);
  running_ = true;
  cancel_ = false;
  photosFound_ = 0;

  ScanControl own;
  own.cancel = &cancel_;
  own.progressInterval = control.progressInterval;
  const std::atomic<bool>* callerCancel = control.cancel;
  own.progress = [this, &control, callerCancel](const ScanProgress& progress) {
    photosFound_ = progress.photosFound;
    if (callerCancel != nullptr && callerCancel->load()) cancel_ = true;
    if (control.progress) control.progress(progress);
  };

  QEventLoop loop;
  ScanOutcome outcome;
  window_.BeginScanProgress();
  QTimer ticks;
  ticks.setInterval(kProgressTickMs);
  connect(&ticks, &QTimer::timeout, this, &BackgroundScan::Tick);
  ticks.start();
  qApp->installEventFilter(this);

  std::atomic<bool> done{false};
  std::thread worker([&job, &own, &outcome, &loop, &done] {
    // A crash on this thread still reaches the crash handler, even from a stack overflow.
    (void)PrepareThreadForCrashes();
    outcome = job.Run(own);
    done = true;
    // The window's thread leaves its loop once this arrives.
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec();
  // The loop also ends when the whole program is asked to quit: the scan then stops early.
  if (!done) cancel_ = true;
  worker.join();

  qApp->removeEventFilter(this);
  ticks.stop();
  window_.EndScanProgress();
  running_ = false;
  return outcome;
}

void BackgroundScan::Tick() {
  if (!running_) return;
  window_.UpdateScanProgress(photosFound_, 0);
  if (window_.ScanProgressShown()) {
    // Busy in the background, not blocking: the Cancel button takes clicks.
    if (QApplication::overrideCursor() != nullptr) {
      QApplication::changeOverrideCursor(Qt::BusyCursor);
    }
    if (!window_.isVisible() && showWindow_) showWindow_();
  }
}

bool BackgroundScan::eventFilter(QObject* watched, QEvent* event) {
  if (!running_ || !IsInput(event->type()) || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != &window_) return false;
  if (widget == static_cast<QWidget*>(window_.ScanCancelButton())) return false;
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    Cancel();
  }
  return true;
}

}  // namespace lumatag::shell
