// Reading photos into their records: quick and full passes, duplicates, failures that keep what
// was read, and the real file system.
#include <gtest/gtest.h>

#include "metadata/MetadataCatalogue.h"
#include "metadata/PhotoMetadataReader.h"
#include "photobuilder/PhotoBuilder.h"
#include "platform/fake/MemoryFileSystem.h"
#include "platform/linux/PosixReadableFile.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

using photo::ByteOrder;
using photo::Ifd;
using photo::PhotoBuilder;

class ReadPhotoMetadataTest : public ::testing::Test {
 protected:
  ReadPhotoMetadataTest() { context_.files = &files_; }

  void SetUp() override {
    ASSERT_OK(SetupPhotoFacts(&photo_, &heap_, u"IMG_0001.JPG", kNoDate, 0, 0));
  }

  std::vector<std::uint16_t> Tags() const {
    std::vector<std::uint16_t> tags;
    for (const MetadataEntry& entry : photo_.metadata) tags.push_back(entry.tag);
    return tags;
  }

  PrivateHeap heap_;
  MemoryFileSystem files_;
  MetadataReadContext context_;
  PhotoFacts photo_;
};

TEST_F(ReadPhotoMetadataTest, QuickPassThenFullPass) {
  files_.Add(u"/photos/IMG_0001.JPG", photo::CameraLikePhoto(ByteOrder::kMotorola, 1).Jpeg());
  TagFilter quick;
  const std::uint16_t patternTags[] = {kTagCopyright, kTagExposureTime, kTagOrientation};
  ASSERT_OK(BuildQuickPassFilter(&quick, patternTags));
  EXPECT_EQ(quick.Count(), 4);
  ASSERT_OK(ReadPhotoMetadata(context_, u"/photos", &photo_, &quick, false));
  EXPECT_EQ(Tags(), (std::vector<std::uint16_t>{kTagOrientation, kTagCopyright, kTagExposureTime,
                                                kTagDateTimeOriginal}));
  EXPECT_EQ(FindMetadataEntry(photo_, kTagOrientation)->text.View(), u"portrait");
  EXPECT_EQ(GetPictureTakenDate(photo_), (SystemTime{2012, 12, 0, 11, 12, 9, 11, 0}));

  TagFilter full;
  ASSERT_OK(BuildFullPassFilter(&full));
  EXPECT_EQ(full.Count(), 8);
  ASSERT_OK(ReadPhotoMetadata(context_, u"/photos/", &photo_, &full, true));
  EXPECT_EQ(photo_.metadata.Count(), 37);                 // every tag but the maker note
  EXPECT_EQ(FindMetadataEntry(photo_, 0x927C), nullptr);  // the maker note is never read
  EXPECT_EQ(FindMetadataEntry(photo_, kTagUserComment)->text.View(), u"Trip");
  EXPECT_EQ(FindMetadataEntry(photo_, 0x0001)->text.View(), u"R98");  // Interoperability IFD
}

TEST_F(ReadPhotoMetadataTest, TheFirstOccurrenceOfATagStays) {
  PhotoBuilder photo(ByteOrder::kIntel);
  photo.Ascii(Ifd::kPrimary, kTagMake, "first")
      .Ascii(Ifd::kPrimary, kTagMake, "second")
      .Ascii(Ifd::kExif, kTagMake, "third")
      .Short(Ifd::kExif, kTagISOSpeedRatings, {100});
  files_.Add(u"/p/IMG_0001.JPG", photo.Tiff());
  ASSERT_OK(ReadPhotoMetadata(context_, u"/p", &photo_, nullptr, false));
  EXPECT_EQ(Tags(), (std::vector<std::uint16_t>{kTagMake, kTagISOSpeedRatings}));
  EXPECT_EQ(FindMetadataEntry(photo_, kTagMake)->text.View(), u"first");
}

TEST_F(ReadPhotoMetadataTest, FailuresKeepTheEntriesReadBefore) {
  PhotoBuilder photo(ByteOrder::kIntel);
  photo.Short(Ifd::kPrimary, kTagOrientation, {3})
      .Raw(Ifd::kExif, 0x9999, 11, 1, {0, 0, 0, 0})
      .Short(Ifd::kExif, kTagISOSpeedRatings, {100});
  files_.Add(u"/p/IMG_0001.JPG", photo.Jpeg());
  EXPECT_STATUS(E_UNEXPECTED, ReadPhotoMetadata(context_, u"/p", &photo_, nullptr, false));
  EXPECT_EQ(Tags(), (std::vector<std::uint16_t>{kTagOrientation}));
}

TEST_F(ReadPhotoMetadataTest, FilesThatCannotBeReadGiveNoEntries) {
  files_.Add(u"/p/IMG_0001.JPG", {'G', 'I', 'F', '8', '9', 'a', 0, 0});
  EXPECT_STATUS(E_NOTIMPL, ReadPhotoMetadata(context_, u"/p", &photo_, nullptr, false));
  EXPECT_STATUS(E_FILE_NOT_FOUND, ReadPhotoMetadata(context_, u"/q", &photo_, nullptr, false));
  files_.Add(u"/r/IMG_0001.JPG", {}).openFailure = E_ACCESS_DENIED;
  EXPECT_STATUS(E_ACCESS_DENIED, ReadPhotoMetadata(context_, u"/r", &photo_, nullptr, false));
  EXPECT_EQ(photo_.metadata.Count(), 0);
  PhotoFacts empty;
  EXPECT_STATUS(E_INVALIDARG, ReadPhotoMetadata(context_, u"/p", &empty, nullptr, false));
}

TEST(JoinPhotoPathTest, AddsOneSeparator) {
  EXPECT_EQ(JoinPhotoPath(u"/a/b", u"c.jpg"), u"/a/b/c.jpg");
  EXPECT_EQ(JoinPhotoPath(u"/a/b/", u"c.jpg"), u"/a/b/c.jpg");
  EXPECT_EQ(JoinPhotoPath(u"/", u"c.jpg"), u"/c.jpg");
  EXPECT_EQ(JoinPhotoPath(u"", u"c.jpg"), u"/c.jpg");
}

TEST(ReadPhotoMetadataOnDiskTest, ReadsAPhotoWrittenToAFolder) {
  TempDir dir;
  PhotoBuilder photo(ByteOrder::kMotorola);
  photo.Short(Ifd::kPrimary, kTagOrientation, {6})
      .Ascii(Ifd::kExif, kTagDateTimeOriginal, "2012:12:28 12:09:32")
      .UnicodeComment(Ifd::kExif, u"Caf\u00e9 trip");
  ASSERT_TRUE(photo::WriteFile(dir.File("IMG_0042.JPG"), photo.Jpeg(photo::JpegOptions().App0())));
  PrivateHeap heap;
  PhotoFacts facts;
  const FileTime created = FileTimeFromUnix(1700000000, 0);
  ASSERT_OK(SetupPhotoFacts(&facts, &heap, u"IMG_0042.JPG", &created, kNoPatternIndex, 0));
  MetadataReadContext context;
  context.files = &PlatformReadableFileSystem();
  ASSERT_OK(ReadPhotoMetadata(context, Utf8ToUtf16(dir.path()), &facts, nullptr, false));
  EXPECT_EQ(FindMetadataEntry(facts, kTagOrientation)->text.View(), u"portrait");
  EXPECT_EQ(FindMetadataEntry(facts, kTagUserComment)->text.View(), u"Caf\u00e9 trip");
  EXPECT_EQ(GetPictureTakenDate(facts), (SystemTime{2012, 12, 0, 28, 12, 9, 32, 0}));
}

}  // namespace
}  // namespace lumatag
