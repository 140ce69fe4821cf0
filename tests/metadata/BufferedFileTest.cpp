// The 1,024-byte window: copying rules, end of data, seeks inside and outside the window, writes,
// and the POSIX file underneath.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "metadata/BufferedFile.h"
#include "photobuilder/PhotoBuilder.h"
#include "platform/fake/MemoryFileSystem.h"
#include "platform/linux/PosixReadableFile.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

std::vector<std::uint8_t> Counting(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return bytes;
}

class BufferedFileTest : public ::testing::Test {
 protected:
  void Open(std::vector<std::uint8_t> bytes) {
    files_.Add(u"f", std::move(bytes));
    ASSERT_OK(file_.Attach(&PrivateHeap::Process()));
    ASSERT_OK(file_.OpenForReading(files_, u"f"));
  }
  MemoryFileSystem files_;
  BufferedFile file_;
};

TEST_F(BufferedFileTest, CopiesNoMoreThanTheDestinationHolds) {
  Open(Counting(16));
  std::uint8_t out[4] = {};
  std::uint32_t got = 99;
  EXPECT_OK(file_.Read(8, out, sizeof out, &got));
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(out[3], Counting(16)[3]);
  std::uint32_t position = 0;
  EXPECT_OK(file_.Position(&position));
  EXPECT_EQ(position, 4u);
}

TEST_F(BufferedFileTest, AShortFileGivesWhatItHasThenEndOfData) {
  Open({1, 2, 3, 4, 5});
  std::uint8_t out[8] = {};
  std::uint32_t got = 0;
  EXPECT_OK(file_.Read(8, out, sizeof out, &got));
  EXPECT_EQ(got, 5u);
  EXPECT_STATUS(E_END_OF_DATA, file_.Read(1, out, sizeof out, &got));
  EXPECT_EQ(got, 0u);
}

TEST_F(BufferedFileTest, ReadsAcrossWindowsInOrder) {
  const auto bytes = Counting(2500);
  Open(bytes);
  std::vector<std::uint8_t> out(3000);
  std::uint32_t got = 0;
  EXPECT_OK(file_.Read(3000, out.data(), 3000, &got));
  ASSERT_EQ(got, 2500u);
  out.resize(got);
  EXPECT_EQ(out, bytes);
  EXPECT_EQ(files_.counters.reads, 4);  // three windows and the read that found the end
}

TEST_F(BufferedFileTest, SeeksInsideTheWindowCostNoPlatformCall) {
  const auto bytes = Counting(2000);
  Open(bytes);
  std::uint8_t b = 0;
  ASSERT_OK(file_.Read(1, &b, 1));
  const int reads = files_.counters.reads;
  const int seeks = files_.counters.seeks;
  ASSERT_OK(file_.Seek(1000, BufferedFile::kFromStart));
  ASSERT_OK(file_.Read(1, &b, 1));
  EXPECT_EQ(b, bytes[1000]);
  ASSERT_OK(file_.Seek(-500, BufferedFile::kFromCurrent));
  ASSERT_OK(file_.Read(1, &b, 1));
  EXPECT_EQ(b, bytes[501]);
  EXPECT_EQ(files_.counters.reads, reads);
  EXPECT_EQ(files_.counters.seeks, seeks);

  // Outside the window: one seek, then one read for the new window.
  ASSERT_OK(file_.Seek(1500, BufferedFile::kFromStart));
  ASSERT_OK(file_.Read(1, &b, 1));
  EXPECT_EQ(b, bytes[1500]);
  EXPECT_EQ(files_.counters.seeks, seeks + 1);
  EXPECT_EQ(files_.counters.reads, reads + 1);
  std::uint32_t position = 0;
  ASSERT_OK(file_.Position(&position));
  EXPECT_EQ(position, 1501u);
  // Back before the window from the current position.
  ASSERT_OK(file_.Seek(-1401, BufferedFile::kFromCurrent));
  ASSERT_OK(file_.Read(1, &b, 1));
  EXPECT_EQ(b, bytes[100]);
}

TEST_F(BufferedFileTest, ReadAtLeavesTheWindowAndThePositionAlone) {
  const auto bytes = Counting(5000);
  Open(bytes);
  std::uint8_t b = 0;
  ASSERT_OK(file_.Read(1, &b, 1));
  std::uint8_t out[8] = {};
  std::uint32_t got = 0;
  ASSERT_OK(file_.ReadAt(1016, 8, out, &got));  // inside the window: no platform call
  EXPECT_EQ(files_.counters.reads, 1);
  EXPECT_EQ(std::vector<std::uint8_t>(out, out + 8),
            std::vector<std::uint8_t>(&bytes[1016], &bytes[1024]));
  ASSERT_OK(file_.ReadAt(1020, 8, out, &got));  // crosses the window's end: one direct read
  EXPECT_EQ(files_.counters.reads, 2);
  EXPECT_EQ(out[7], bytes[1027]);
  ASSERT_OK(file_.ReadAt(4996, 8, out, &got));  // at the end of the file: what there is
  EXPECT_EQ(got, 4u);
  EXPECT_STATUS(E_END_OF_DATA, file_.ReadAt(6000, 8, out, &got));
  // The window still serves the old position, and the next refill continues after it.
  ASSERT_OK(file_.Read(1, &b, 1));
  EXPECT_EQ(b, bytes[1]);
  EXPECT_EQ(files_.counters.reads, 4);
  std::vector<std::uint8_t> rest(1100);
  ASSERT_OK(file_.Read(1100, rest.data(), 1100, &got));
  EXPECT_EQ(rest.back(), bytes[1101]);
}

TEST_F(BufferedFileTest, SeekBeyondTheEndReadsNothing) {
  Open(Counting(10));
  ASSERT_OK(file_.Seek(5000, BufferedFile::kFromStart));
  std::uint8_t b;
  EXPECT_STATUS(E_END_OF_DATA, file_.Read(1, &b, 1));
  EXPECT_STATUS(E_INVALIDARG, file_.Seek(-6000, BufferedFile::kFromCurrent));
}

TEST_F(BufferedFileTest, WritesStoreAFullWindowAtOnceAndTheRestOnClose) {
  MemoryFileSystem::Entry& entry = files_.Add(u"w", {});
  entry.writable = true;
  ASSERT_OK(file_.Attach(&PrivateHeap::Process()));
  ASSERT_OK(file_.OpenForReading(files_, u"w"));
  const auto bytes = Counting(1500);
  ASSERT_OK(file_.Write(bytes.data(), 1500));
  EXPECT_EQ(files_.Find(u"w")->bytes.size(), 1024u);
  std::uint32_t size = 0;
  ASSERT_OK(file_.Size(&size));
  EXPECT_EQ(size, 1500u);
  ASSERT_OK(file_.Close());
  EXPECT_EQ(files_.Find(u"w")->bytes, bytes);
}

TEST_F(BufferedFileTest, WritingARefusingFileFailsOnStore) {
  Open(Counting(10));
  const auto bytes = Counting(1024);
  EXPECT_STATUS(E_ACCESS_DENIED, file_.Write(bytes.data(), 1024));
}

TEST_F(BufferedFileTest, ClosedAndDetachedObjectsRefuse) {
  BufferedFile file;
  std::uint8_t b;
  std::uint32_t n;
  SystemTime time;
  EXPECT_STATUS(E_HANDLE, file.Read(1, &b, 1));
  EXPECT_STATUS(E_HANDLE, file.Seek(0, BufferedFile::kFromStart));
  EXPECT_STATUS(E_HANDLE, file.Position(&n));
  EXPECT_STATUS(E_HANDLE, file.Size(&n));
  EXPECT_STATUS(E_HANDLE, file.Write(&b, 1));
  EXPECT_STATUS(E_HANDLE, file.LastWriteTime(&time));
  EXPECT_OK(file.Close());
  EXPECT_STATUS(E_UNEXPECTED, file.OpenForReading(files_, u"f"));  // not attached
  EXPECT_STATUS(E_INVALIDARG, file.Attach(nullptr));

  Open(Counting(4));
  EXPECT_STATUS(E_UNEXPECTED, file_.Attach(&PrivateHeap::Process()));
  EXPECT_OK(file_.Close());
  EXPECT_OK(file_.Close());
  EXPECT_STATUS(E_HANDLE, file_.Read(1, &b, 1));
}

TEST_F(BufferedFileTest, LastWriteTimeIsTheLocalCalendarTime) {
  MemoryFileSystem::Entry& entry = files_.Add(u"t", {1});
  entry.lastWriteLocal = SystemTime{2013, 5, 3, 2, 10, 20, 30, 400};
  ASSERT_OK(file_.Attach(&PrivateHeap::Process()));
  ASSERT_OK(file_.OpenForReading(files_, u"t"));
  SystemTime time;
  ASSERT_OK(file_.LastWriteTime(&time));
  EXPECT_EQ(time, entry.lastWriteLocal);
}

TEST(PosixReadableFileTest, ReadsARealFileAndReportsMissingOnes) {
  TempDir dir;
  const auto bytes = Counting(3000);
  ASSERT_TRUE(photo::WriteFile(dir.File("a.bin"), bytes));
  const ReadableFileSystem& files = PlatformReadableFileSystem();
  BufferedFile file;
  ASSERT_OK(file.Attach(&PrivateHeap::Process()));
  EXPECT_STATUS(E_FILE_NOT_FOUND, file.OpenForReading(files, Utf8ToUtf16(dir.File("none.bin"))));
  EXPECT_STATUS(E_PATH_NOT_FOUND,
                file.OpenForReading(files, Utf8ToUtf16(dir.File("a.bin") + "/x")));
  ASSERT_OK(file.OpenForReading(files, Utf8ToUtf16(dir.File("a.bin"))));
  std::uint32_t size = 0;
  ASSERT_OK(file.Size(&size));
  EXPECT_EQ(size, 3000u);
  ASSERT_OK(file.Seek(2999, BufferedFile::kFromStart));
  std::uint8_t b = 0;
  ASSERT_OK(file.Read(1, &b, 1));
  EXPECT_EQ(b, bytes[2999]);
  SystemTime local;
  ASSERT_OK(file.LastWriteTime(&local));
  EXPECT_GE(local.year, 2020);
  EXPECT_LE(local.month, 12);
  const std::vector<std::uint8_t> window(1024, 1);
  EXPECT_STATUS(E_ACCESS_DENIED, file.Write(window.data(), 1024));
}

}  // namespace
}  // namespace lumatag
