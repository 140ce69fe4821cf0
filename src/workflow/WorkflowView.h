// What the photo workflow asks of the window that shows it. The window only draws and routes: it
// reads everything it shows from the workflow (photo list, naming state, new-name text) when asked
// to refresh a part, and passes the person's actions back as workflow commands.
#pragma once

#include <cstdint>

#include "workflow/PhotoScanner.h"

namespace lumatag {

// Parts of the window, for refreshing and refilling.
inline constexpr std::uint32_t kRefreshPattern = 0x01;      // pattern box selection / items
inline constexpr std::uint32_t kRefreshBaseName = 0x02;     // base-name box selection / items
inline constexpr std::uint32_t kRefreshNewName = 0x04;      // new-name box: the proposal
inline constexpr std::uint32_t kRefreshPreview = 0x08;      // preview picture
inline constexpr std::uint32_t kRefreshCounters = 0x10;     // "Photo #.. of .." and unnamed count
inline constexpr std::uint32_t kRefreshPhotoBox = 0x20;     // photo box selection / items
inline constexpr std::uint32_t kRefreshEnabling = 0x40;     // which buttons are enabled
inline constexpr std::uint32_t kRefreshFolder = 0x80;       // folder path
inline constexpr std::uint32_t kRefreshNavigation = 0x100;  // navigation-mode box
inline constexpr std::uint32_t kRefreshAll = 0x1FF;

class WorkflowView {
 public:
  virtual ~WorkflowView() = default;
  // Shows the parts in `mask` again from the workflow's state.
  virtual void RefreshWindowState(std::uint32_t mask) = 0;
  // Refills the items of the boxes in `mask`, then refreshes those parts.
  virtual void FillBoxes(std::uint32_t mask) = 0;
  // Lets go of the preview image so that its file is not held open.
  virtual void ReleasePreview() = 0;
  // Shows or hides the wait cursor.
  virtual void SetWaitCursor(bool waiting) = 0;
  // Runs a prepared folder scan and returns what it produced; the list shown stays in place until
  // then. A window runs it on a worker thread and keeps drawing meanwhile; it must return only
  // once the job has ended, and must not let anything change the catalogue or the working folder
  // while the job runs. By default the job runs at once, on the calling thread.
  virtual ScanOutcome RunScan(const ScanJob& job, const ScanControl& control) {
    return job.Run(control);
  }
};

// A view that shows nothing (the command-line program, tests that do not look at the window).
class NullWorkflowView final : public WorkflowView {
 public:
  void RefreshWindowState(std::uint32_t) override {}
  void FillBoxes(std::uint32_t) override {}
  void ReleasePreview() override {}
  void SetWaitCursor(bool) override {}
};

}  // namespace lumatag
