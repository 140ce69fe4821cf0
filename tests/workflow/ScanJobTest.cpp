// A scan on a worker thread: progress with counts, a cancel midway that leaves the list shown as
// it was, and the finished list taking the old one's place.
#include <atomic>
#include <thread>

#include "workflow/WorkflowTestSupport.h"

namespace lumatag {
namespace {

class ScanJobTest : public WorkflowTest {
 protected:
  void AddPhotos(int count, const std::string& prefix) {
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "%s_%04d.JPG", prefix.c_str(), i);
      AddPhoto(name, "2013:05:01 10:00:00");
    }
  }
  // Runs the job on a worker thread and waits for it.
  ScanOutcome RunOnWorker(const ScanJob& job, const ScanControl& control) {
    ScanOutcome outcome;
    std::thread worker([&] { outcome = job.Run(control); });
    worker.join();
    return outcome;
  }
};

TEST_F(ScanJobTest, ACancelMidwayLeavesTheOldListAsItWas) {
  AddPhotos(3, "OLD");
  Scan();
  ASSERT_OK(workflow_->ChoosePhoto(1));
  const std::vector<std::string> before = ListNames();
  AddPhotos(600, "IMG");

  ScanJob job;
  ASSERT_OK(workflow_->PrepareScan(false, &job));
  std::atomic<bool> cancel{false};
  std::vector<ScanProgress> reports;
  ScanControl control;
  control.cancel = &cancel;
  control.progressInterval = std::chrono::steady_clock::duration::zero();
  control.progress = [&](const ScanProgress& progress) {
    reports.push_back(progress);
    if (progress.photosFound == 100) cancel = true;
  };
  ScanOutcome outcome = RunOnWorker(job, control);
  EXPECT_STATUS(E_CANCELLED, outcome.status);
  // It stopped at the next file, far from the end.
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().photosFound, 100);
  EXPECT_FALSE(reports.back().finished);

  EXPECT_STATUS(E_CANCELLED, workflow_->FinishScan(std::move(outcome)));
  EXPECT_EQ(ListNames(), before);
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 1);
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(ScanJobTest, AFinishedScanReportsCountsAndTakesTheOldListsPlace) {
  AddPhotos(2, "OLD");
  Scan();
  AddPhotos(50, "IMG");
  AddFile("notes.txt", "not a photo");

  ScanJob job;
  ASSERT_OK(workflow_->PrepareScan(false, &job));
  std::vector<ScanProgress> reports;
  ScanControl control;
  control.progressInterval = std::chrono::steady_clock::duration::zero();
  control.progress = [&](const ScanProgress& progress) { reports.push_back(progress); };
  ScanOutcome outcome = RunOnWorker(job, control);
  ASSERT_OK(outcome.status);
  // While the job ran, the list shown stayed the old one.
  EXPECT_EQ(workflow_->Photos().Count(), 2);
  ASSERT_GE(reports.size(), 2u);
  EXPECT_EQ(reports.front().filesSeen, 0);
  for (std::size_t i = 1; i < reports.size(); ++i) {
    EXPECT_GE(reports[i].filesSeen, reports[i - 1].filesSeen);
  }
  EXPECT_TRUE(reports.back().finished);
  EXPECT_EQ(reports.back().filesSeen, 53);
  EXPECT_EQ(reports.back().photosFound, 52);

  ASSERT_OK(workflow_->FinishScan(std::move(outcome)));
  EXPECT_EQ(workflow_->Photos().Count(), 52);
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 0);
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 52);
}

}  // namespace
}  // namespace lumatag
