// Files larger than 4 GiB, as sparse files on the real file system (removed afterwards): offsets
// are 32-bit, and nothing past 4 GiB may wrap around to the start of the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "metadata/IfdReader.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/PosixReadableFile.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// A sparse file of `size` bytes; `Put` writes bytes at an offset.
class SparseFile {
 public:
  SparseFile(const std::string& path, std::uint64_t size) : path_(path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ok_ = fd_ >= 0 && ftruncate(fd_, static_cast<off_t>(size)) == 0;
  }
  ~SparseFile() {
    if (fd_ >= 0) close(fd_);
    unlink(path_.c_str());
  }
  bool ok() const { return ok_; }
  void Put(std::uint64_t offset, const void* bytes, std::size_t count) {
    ok_ =
        ok_ && pwrite(fd_, bytes, count, static_cast<off_t>(offset)) == static_cast<ssize_t>(count);
  }
  std::u16string Path() const { return FromNativePath(path_); }

 private:
  std::string path_;
  int fd_ = -1;
  bool ok_ = false;
};

TEST(LargeFileTest, ReadingStopsAt4GiBInsteadOfWrapping) {
  TempDir dir;
  SparseFile sparse(dir.File("huge.jpg"), k4GiB + 8192);
  sparse.Put(0, "START-OF-FILE", 13);
  sparse.Put(k4GiB - 4, "HIGHPAST", 8);
  ASSERT_TRUE(sparse.ok()) << "cannot make a sparse file here";

  BufferedFile file;
  ASSERT_OK(file.Attach(&PrivateHeap::Process()));
  ASSERT_OK(file.OpenForReading(PlatformReadableFileSystem(), sparse.Path()));
  ASSERT_OK(file.Seek(static_cast<std::int64_t>(k4GiB - 4), BufferedFile::kFromStart));
  std::string read;
  for (int i = 0; i < 64; ++i) {
    char buffer[3];
    std::uint32_t got = 0;
    if (Failed(file.Read(sizeof buffer, buffer, sizeof buffer, &got))) break;
    read.append(buffer, got);
  }
  // The last four bytes below 4 GiB, then the end: never the start of the file again.
  EXPECT_EQ(read, "HIGH");
  std::uint32_t position = 0;
  EXPECT_TRUE(Failed(file.Position(&position)) || position == 0xFFFFFFFFu);
  char bytes[8];
  std::uint32_t got = 0;
  EXPECT_TRUE(Failed(file.ReadAt(0xFFFFFFFCu, 8, bytes, &got)));
}

TEST(LargeFileTest, TheMarkerWalkEndsPastTheThirtyTwoBitRange) {
  // Short segments at the start, segments of the largest length up to just below 4 GiB, then
  // short segments across 4 GiB. The short segments are laid out so that a position wrapping at
  // 4 GiB would land on one at the start and walk the whole file again, for ever.
  constexpr std::uint64_t kShort = 11;  // a 1,024-byte window ends in the middle of the 94th
  constexpr std::uint64_t kLong = 2 + 0xFFFF;
  std::uint64_t shortEnd = 0;
  std::uint64_t top = 0;  // where the short segments below 4 GiB start
  for (std::uint64_t m = 1; m < 8000 && top == 0; ++m) {
    const std::uint64_t end = 2 + kShort * m;
    const std::uint64_t q = end + kLong * ((k4GiB - 1 - end) / kLong);
    if (q + 1024 <= k4GiB) continue;
    // The header that straddles the end of the window at q, moved down by 4 GiB.
    const std::uint64_t wrapped = q + 1023 - k4GiB;
    if (wrapped >= 2 && (wrapped - 2) % kShort == 0 && wrapped + kShort <= end) {
      shortEnd = end;
      top = q;
    }
  }
  ASSERT_NE(top, 0u);

  TempDir dir;
  SparseFile sparse(dir.File("huge.jpg"), k4GiB + 65536);
  const std::uint8_t start[] = {0xFF, 0xD8};
  sparse.Put(0, start, sizeof start);
  const std::uint8_t shortSegment[] = {0xFF, 0xE0, 0x00, kShort - 2};
  const std::uint8_t longSegment[] = {0xFF, 0xE0, 0xFF, 0xFF};
  for (std::uint64_t at = 2; at < shortEnd; at += kShort) {
    sparse.Put(at, shortSegment, sizeof shortSegment);
  }
  for (std::uint64_t at = shortEnd; at < top; at += kLong) {
    sparse.Put(at, longSegment, sizeof longSegment);
  }
  for (std::uint64_t at = top; at < k4GiB + 4096; at += kShort) {
    sparse.Put(at, shortSegment, sizeof shortSegment);
  }
  ASSERT_TRUE(sparse.ok()) << "cannot make a sparse file here";

  ImageFile file;
  ASSERT_OK(file.Attach(&PrivateHeap::Process()));
  ASSERT_OK(file.OpenForReading(PlatformReadableFileSystem(), sparse.Path()));
  ASSERT_OK(file.CheckFormat());
  IfdReader reader;
  EXPECT_TRUE(Failed(reader.Open(&file, &PrivateHeap::Process(), nullptr, false)));
}

}  // namespace
}  // namespace lumatag
