// A folder scan on a worker thread while the window goes on drawing. The window's own thread waits
// in an event loop of its own until the scan has ended, so every caller still sees the scan done
// when the call returns; meanwhile the window repaints, moves and resizes, but takes no input
// except the Cancel button of the status bar (and Escape), so nothing that the scan borrows (the
// catalogue, the working folder, the string tables) can change under it. A scan that runs longer
// than about half a second shows its progress bar; one that starts while the window is still
// hidden (the first scan of a start-up) shows the window then.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>

#include "workflow/PhotoScanner.h"

class QWidget;

namespace lumatag::shell {

class MainWindow;

class BackgroundScan final : public QObject {
 public:
  // `showWindow` shows the main window when a long scan finds it hidden.
  BackgroundScan(MainWindow& window, std::function<void()> showWindow);
  ~BackgroundScan() override;

  // Runs the job on a worker thread and returns its outcome once it has ended. `control` may bring
  // a cancel flag and a progress callback of its own (called on the worker thread).
  ScanOutcome Run(const ScanJob& job, const ScanControl& control);
  bool Running() const { return running_; }
  // Asks the running scan to stop (it then ends with E_CANCELLED); nothing when none runs.
  void Cancel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tick();

  MainWindow& window_;
  std::function<void()> showWindow_;
  bool running_ = false;
  std::atomic<bool> cancel_{false};
  std::atomic<int> photosFound_{0};
};

}  // namespace lumatag::shell
