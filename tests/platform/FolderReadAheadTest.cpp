// Reading ahead of a folder scan: it starts only when the scan waits, and a listing that reads
// ahead hands out exactly what a listing that does not would.
#include "platform/linux/FolderReadAhead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/NativePath.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

void PauseLikeAColdRead() {
  std::this_thread::sleep_for(std::chrono::microseconds(600));
}

TEST(FolderReadAheadTest, StartsOnlyWhenTheScanWaits) {
  TempDir dir;
  const int folder = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  {
    FolderReadAhead quick(folder);
    for (int i = 0; i < 200; ++i) EXPECT_FALSE(quick.Step());
  }
  {
    FolderReadAhead slow(folder);
    bool on = false;
    for (int i = 0; i < 40 && !on; ++i) {
      PauseLikeAColdRead();
      on = slow.Step();
    }
    EXPECT_TRUE(on);
    std::ofstream(dir.File("a.jpg")) << "A";
    slow.Add("a.jpg");
    slow.Add("missing.jpg");
    slow.Stop();
    slow.Add("after-stop.jpg");
  }
  close(folder);
}

TEST(FolderReadAheadTest, WithSeveralReadersTheMeanStepDecides) {
  TempDir dir;
  const int folder = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  {
    // Two readers: every other step waits for a cold file, the others come at once.
    FolderReadAhead uneven(folder);
    uneven.SetReaders(2);
    bool on = false;
    for (int i = 0; i < 80 && !on; ++i) {
      if (i % 2 == 0) PauseLikeAColdRead();
      on = uneven.Step();
    }
    EXPECT_TRUE(on);
  }
  {
    // One long pause among quick steps is not a scan that waits.
    FolderReadAhead paused(folder);
    paused.SetReaders(2);
    for (int i = 0; i < 200; ++i) {
      if (i == 50) std::this_thread::sleep_for(std::chrono::milliseconds(20));
      EXPECT_FALSE(paused.Step()) << i;
    }
  }
  close(folder);
}

std::vector<std::u16string> List(const std::string& path, bool slow) {
  LinuxFileOperations files;
  std::unique_ptr<FolderListing> listing;
  EXPECT_OK(files.OpenListing(FromNativePath(path), &listing));
  std::vector<std::u16string> names;
  for (;;) {
    if (slow) PauseLikeAColdRead();
    FolderEntry entry;
    const Status status = listing->Next(&entry);
    if (status == E_NO_MORE_FILES) break;
    EXPECT_OK(status);
    if (Failed(status)) break;
    names.push_back(entry.name + (entry.folder ? u"/" : u""));
  }
  return names;
}

TEST(FolderReadAheadTest, AListingThatReadsAheadListsTheSame) {
  TempDir dir;
  for (int i = 0; i < 150; ++i) std::ofstream(dir.File("IMG_" + std::to_string(i) + ".JPG")) << i;
  ASSERT_EQ(mkdir(dir.File("nested").c_str(), 0700), 0);
  const std::vector<std::u16string> quick = List(dir.path(), false);
  const std::vector<std::u16string> slow = List(dir.path(), true);
  EXPECT_EQ(quick.size(), 151u);
  EXPECT_EQ(slow, quick);
}

}  // namespace
}  // namespace lumatag
