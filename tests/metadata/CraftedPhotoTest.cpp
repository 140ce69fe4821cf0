// Photos crafted to make the reader do much work for little file: many entries of one tag, many
// tags sharing one large region. Real files in a real folder; the bytes read are counted.
#include <gtest/gtest.h>

#include <cstdint>

#include "metadata/PhotoMetadataReader.h"
#include "photobuilder/PhotoBuilder.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/PosixReadableFile.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

using photo::ByteOrder;
using photo::Ifd;
using photo::PhotoBuilder;

// The platform's files, counting every byte read through them.
class CountingFileSystem final : public ReadableFileSystem {
 public:
  Status OpenForReading(std::u16string_view path,
                        std::unique_ptr<ReadableFile>* file) const override {
    std::unique_ptr<ReadableFile> real;
    LT_TRY(PlatformReadableFileSystem().OpenForReading(path, &real));
    *file = std::make_unique<Counted>(std::move(real), &bytesRead);
    return S_OK;
  }
  mutable std::uint64_t bytesRead = 0;

 private:
  class Counted final : public ReadableFile {
   public:
    Counted(std::unique_ptr<ReadableFile> file, std::uint64_t* count)
        : file_(std::move(file)), count_(count) {}
    Status Read(void* destination, std::uint32_t count, std::uint32_t* read) override {
      const Status status = file_->Read(destination, count, read);
      *count_ += *read;
      return status;
    }
    Status Write(const void* source, std::uint32_t count, std::uint32_t* written) override {
      return file_->Write(source, count, written);
    }
    Status Seek(std::uint32_t offset) override { return file_->Seek(offset); }
    Status Size(std::uint32_t* size) override { return file_->Size(size); }
    Status LastWriteTime(FileTime* time) override { return file_->LastWriteTime(time); }
    Status LastWriteTimeLocal(SystemTime* fields) override {
      return file_->LastWriteTimeLocal(fields);
    }

   private:
    std::unique_ptr<ReadableFile> file_;
    std::uint64_t* count_;
  };
};

struct CraftedCase {
  const char* what;
  int entries;
  bool sameTag;  // every entry the same tag, else one tag each
};

class CraftedPhotoTest : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(CraftedPhotoTest, ReadsNoMoreThanTheFileHolds) {
  const CraftedCase& c = GetParam();
  constexpr std::uint32_t kRegion = 256 * 1024;
  // Every entry claims the same region of UNDEFINED bytes at the end of the file.
  const auto build = [&](std::uint32_t regionOffset) {
    PhotoBuilder photo(ByteOrder::kIntel);
    photo.Short(Ifd::kPrimary, 0x0112, {1});
    for (int i = 0; i < c.entries; ++i) {
      const auto tag = static_cast<std::uint16_t>(c.sameTag ? 0xC000 : 0xC000 + i);
      photo.RawField(Ifd::kPrimary, tag, 7, kRegion, regionOffset);
    }
    return photo.Tiff();
  };
  photo::Bytes bytes = build(0);
  const auto regionOffset = static_cast<std::uint32_t>(bytes.size());
  bytes = build(regionOffset);
  ASSERT_EQ(bytes.size(), regionOffset);
  bytes.resize(bytes.size() + kRegion, 0x5A);

  TempDir dir;
  ASSERT_TRUE(photo::WriteFile(dir.File("IMG_0001.JPG"), bytes));
  CountingFileSystem files;
  MetadataReadContext context;
  context.files = &files;
  PrivateHeap heap;
  PhotoFacts facts;
  ASSERT_OK(SetupPhotoFacts(&facts, &heap, u"IMG_0001.JPG", kNoDate, kNoPatternIndex, 0));
  (void)ReadPhotoMetadata(context, FromNativePath(dir.path()), &facts, nullptr, false);

  std::uint64_t kept = 0;
  for (const MetadataEntry& entry : facts.metadata) kept += entry.DataSize();
  EXPECT_LE(kept, bytes.size());
  EXPECT_LE(files.bytesRead, 2 * bytes.size());
  // The first entry of the tag, with its whole value, is kept.
  const MetadataEntry* first = FindMetadataEntry(facts, 0xC000);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->DataSize(), kRegion);
  EXPECT_NE(FindMetadataEntry(facts, 0x0112), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, CraftedPhotoTest,
                         ::testing::Values(CraftedCase{"duplicates of one tag", 2000, true},
                                           CraftedCase{"tags sharing one region", 60, false}),
                         LT_CASE_NAMES);

}  // namespace
}  // namespace lumatag
