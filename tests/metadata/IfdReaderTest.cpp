// The format check, the marker walk and the directory walk over files written by the photo
// builder in both byte orders.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "metadata/IfdReader.h"
#include "photobuilder/PhotoBuilder.h"
#include "platform/fake/MemoryFileSystem.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

using photo::ByteOrder;
using photo::Bytes;
using photo::Ifd;
using photo::PhotoBuilder;

struct Walked {
  std::vector<std::uint16_t> tags;
  std::vector<Bytes> data;  // host order
  std::vector<std::uint16_t> types;
  std::vector<std::uint32_t> counts;
  Status status = S_OK;  // how the walk ended (E_NO_MORE_ITEMS when complete)
  Status open = S_OK;    // format check, then reader open
};

class IfdReaderTest : public ::testing::Test {
 protected:
  Walked Walk(Bytes bytes, const TagFilter* filter = nullptr, bool exclude = false) {
    files_.Add(u"photo", std::move(bytes));
    Walked walked;
    ImageFile file;
    EXPECT_OK(file.Attach(&PrivateHeap::Process()));
    EXPECT_OK(file.OpenForReading(files_, u"photo"));
    walked.open = file.CheckFormat();
    if (Failed(walked.open)) return walked;
    IfdReader reader;
    walked.open = reader.Open(&file, &heap_, filter, exclude);
    if (Failed(walked.open)) return walked;
    for (;;) {
      MetadataEntry entry;
      walked.status = reader.Next(&entry);
      if (Failed(walked.status)) break;
      walked.tags.push_back(entry.tag);
      walked.types.push_back(entry.type);
      walked.counts.push_back(entry.count);
      walked.data.emplace_back(entry.data, entry.data + entry.DataSize());
    }
    return walked;
  }

  PrivateHeap heap_;
  MemoryFileSystem files_;
};

template <class T>
Bytes HostBytes(std::initializer_list<T> values) {
  Bytes bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), std::data(values), bytes.size());
  return bytes;
}

class ByteOrderTest : public IfdReaderTest, public ::testing::WithParamInterface<ByteOrder> {};

TEST_P(ByteOrderTest, InlineValuesComeOutInHostOrder) {
  PhotoBuilder photo(GetParam());
  photo.Short(Ifd::kPrimary, 0x0112, {6})
      .Short(Ifd::kPrimary, 0x9214, {1234, 567})
      .Ascii(Ifd::kPrimary, 0x010F, "AB")
      .Long(Ifd::kPrimary, 0xA002, {4928})
      .Bytes8(Ifd::kPrimary, 0x9000, 7, {'0', '2', '3', '0'});
  const Walked walked = Walk(photo.Jpeg());
  ASSERT_OK(walked.open);
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  ASSERT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0112, 0x9214, 0x010F, 0xA002, 0x9000}));
  EXPECT_EQ(walked.data[0], HostBytes<std::uint16_t>({6}));
  EXPECT_EQ(walked.data[1], HostBytes<std::uint16_t>({1234, 567}));
  EXPECT_EQ(walked.data[2], (Bytes{'A', 'B', 0}));
  EXPECT_EQ(walked.data[3], HostBytes<std::uint32_t>({4928}));
  EXPECT_EQ(walked.data[4], (Bytes{'0', '2', '3', '0'}));
}

TEST_P(ByteOrderTest, OutOfLineValuesComeOutInHostOrder) {
  PhotoBuilder photo(GetParam());
  photo.Short(Ifd::kExif, 0x0101, {1, 2, 3})
      .Long(Ifd::kExif, 0x0102, {70000, 5})
      .SLong(Ifd::kExif, 0x0103, {-1, -70000})
      .Rational(Ifd::kExif, 0x829A, {{10, 1250}})
      .SRational(Ifd::kExif, 0x9204, {{-6, 3}, {7, -2}})
      .Ascii(Ifd::kExif, 0x9003, "2012:12:28 12:09:32");
  const Walked walked = Walk(photo.Tiff());
  ASSERT_OK(walked.open);
  ASSERT_EQ(walked.tags.size(), 6u);
  EXPECT_EQ(walked.data[0], HostBytes<std::uint16_t>({1, 2, 3}));
  EXPECT_EQ(walked.data[1], HostBytes<std::uint32_t>({70000, 5}));
  EXPECT_EQ(walked.data[2], HostBytes<std::int32_t>({-1, -70000}));
  EXPECT_EQ(walked.data[3], HostBytes<std::uint32_t>({10, 1250}));
  EXPECT_EQ(walked.data[4], HostBytes<std::int32_t>({-6, 3, 7, -2}));
  EXPECT_EQ(std::string(walked.data[5].begin(), walked.data[5].end()),
            std::string("2012:12:28 12:09:32", 20));
}

TEST_P(ByteOrderTest, WalksIfd0ThenExifThenInteroperabilityButNeverGps) {
  PhotoBuilder photo(GetParam());
  photo.Short(Ifd::kInterop, 0x0001, {1})
      .Short(Ifd::kGps, 0x0002, {2})
      .Short(Ifd::kExif, 0x0003, {3})
      .Short(Ifd::kPrimary, 0x0004, {4});
  const Walked walked = Walk(photo.Jpeg(photo::JpegOptions().App0()));
  ASSERT_OK(walked.open);
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  // Pointer tags are never handed out either.
  EXPECT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0004, 0x0003, 0x0001}));
}

INSTANTIATE_TEST_SUITE_P(BothOrders, ByteOrderTest,
                         ::testing::Values(ByteOrder::kIntel, ByteOrder::kMotorola), LT_CASE_NAMES);

TEST_F(IfdReaderTest, MagicInTheOtherOrderIsAccepted) {
  PhotoBuilder photo(ByteOrder::kIntel);
  photo.Short(Ifd::kPrimary, 0x0112, {6});
  Bytes tiff = photo.Tiff();
  tiff[2] = 0x00;
  tiff[3] = 0x2A;
  const Walked walked = Walk(tiff);
  ASSERT_OK(walked.open);
  ASSERT_EQ(walked.tags.size(), 1u);
  EXPECT_EQ(walked.data[0], HostBytes<std::uint16_t>({6}));
}

TEST_F(IfdReaderTest, NoExifPointerEndsTheWalkAfterIfd0) {
  PhotoBuilder photo;
  photo.Short(Ifd::kPrimary, 0x0112, {6}).Short(Ifd::kExif, 0x8827, {200}).OmitPointer(Ifd::kExif);
  const Walked walked = Walk(photo.Jpeg());
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  EXPECT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0112}));
}

TEST_F(IfdReaderTest, EmptyExifDirectoryAndZeroPointerComplete) {
  PhotoBuilder empty;
  empty.Short(Ifd::kPrimary, 0x0112, {1}).ForcePointer(Ifd::kExif);
  EXPECT_STATUS(E_NO_MORE_ITEMS, Walk(empty.Tiff()).status);
  PhotoBuilder zero;
  zero.Short(Ifd::kPrimary, 0x0112, {1}).RawField(Ifd::kPrimary, kTagExifIfdPointer, 4, 1, 0);
  EXPECT_STATUS(E_NO_MORE_ITEMS, Walk(zero.Tiff()).status);
}

TEST_F(IfdReaderTest, AFloatEndsOnlyAWalkThatWouldReturnIt) {
  PhotoBuilder photo;
  photo.Short(Ifd::kPrimary, 0x0112, {6})
      .Raw(Ifd::kExif, 0x9999, 11, 1, {0, 0, 0x80, 0x3F})
      .Short(Ifd::kExif, 0x8827, {200});
  const Bytes jpeg = photo.Jpeg();
  TagFilter filter;
  ASSERT_OK(filter.Add(0x9999));
  const Walked excluded = Walk(jpeg, &filter, true);
  EXPECT_STATUS(E_NO_MORE_ITEMS, excluded.status);
  EXPECT_EQ(excluded.tags, (std::vector<std::uint16_t>{0x0112, 0x8827}));

  const Walked unfiltered = Walk(jpeg);
  EXPECT_STATUS(E_UNEXPECTED, unfiltered.status);
  EXPECT_EQ(unfiltered.tags, (std::vector<std::uint16_t>{0x0112}));
}

TEST_F(IfdReaderTest, IncludeModeReturnsOnlyListedTags) {
  PhotoBuilder photo;
  photo.Short(Ifd::kPrimary, 0x0112, {6})
      .Ascii(Ifd::kPrimary, 0x010F, "Make")
      .Ascii(Ifd::kExif, 0x9003, "2012:12:28 12:09:32")
      .Raw(Ifd::kExif, 0x9999, 12, 1, {});
  TagFilter filter;
  ASSERT_OK(filter.Add(0x9003));
  ASSERT_OK(filter.Add(0x0112));
  EXPECT_EQ(filter.Add(0x0112), S_FALSE);
  EXPECT_EQ(filter.Count(), 2);
  const Walked walked = Walk(photo.Jpeg(), &filter, false);
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  EXPECT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0112, 0x9003}));
}

TEST_F(IfdReaderTest, FormatCheckFailures) {
  struct Case {
    Bytes bytes;
    Status open;
  };
  PhotoBuilder exif;
  exif.Short(Ifd::kPrimary, 0x0112, {6});
  Bytes xmp = exif.Jpeg(photo::JpegOptions().Identifier("http:/"));
  // Replace the TIFF header after the identifier with text, as an XMP packet has.
  std::memcpy(xmp.data() + 2 + 4 + 6, "/ns.ado", 7);
  const Case cases[] = {
      {{'I', 'I', 42, 0, 8}, E_NOTIMPL},             // five bytes: no full header
      {{0xFF, 0xD8, 0xFF, 0xE0, 0}, E_END_OF_DATA},  // a JPEG that ends inside its first segment
      {{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, E_NOTIMPL},
      {{'I', 'M', 42, 0, 8, 0, 0, 0}, E_NOTIMPL},  // mixed byte-order mark
      {{0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 1, 2, 0xFF, 0xD9}, E_END_OF_DATA},  // no APP1
      {{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xE1}, E_END_OF_DATA},        // length below 2
      {{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xE1}, E_END_OF_DATA},
      {xmp, E_UNEXPECTED},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_STATUS(cases[i].open, Walk(cases[i].bytes).open);
  }
}

TEST_F(IfdReaderTest, OpenChecksItsArguments) {
  IfdReader reader;
  ImageFile file;
  EXPECT_STATUS(E_INVALIDARG, reader.Open(nullptr, &heap_, nullptr, false));
  EXPECT_STATUS(E_INVALIDARG, reader.Open(&file, nullptr, nullptr, false));
  EXPECT_STATUS(E_NOT_OPEN, reader.Open(&file, &heap_, nullptr, false));
  EXPECT_STATUS(E_INVALIDARG, reader.Next(nullptr));

  PhotoBuilder photo;
  photo.Short(Ifd::kPrimary, 0x0112, {6});
  files_.Add(u"p", photo.Tiff());
  ASSERT_OK(file.Attach(&heap_));
  ASSERT_OK(file.OpenForReading(files_, u"p"));
  ASSERT_OK(file.CheckFormat());
  ASSERT_OK(reader.Open(&file, &heap_, nullptr, false));
  EXPECT_STATUS(E_UNEXPECTED, reader.Open(&file, &heap_, nullptr, false));
  reader.Close();
  reader.Close();
  EXPECT_OK(reader.Open(&file, &heap_, nullptr, false));
}

TEST_F(IfdReaderTest, DamagedDirectoriesEndTheWalkAndKeepWhatCameBefore) {
  PhotoBuilder dangling;
  dangling.Short(Ifd::kPrimary, 0x0112, {6})
      .RawField(Ifd::kPrimary, 0x010F, 2, 20, 0x00FFFFF0)  // value beyond the end
      .Short(Ifd::kPrimary, 0x0128, {2});
  Walked walked = Walk(dangling.Tiff());
  EXPECT_STATUS(E_END_OF_DATA, walked.status);
  EXPECT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0112}));

  // A count whose byte size needs more than 32 bits, and one larger than the file: refused
  // before anything is allocated for them.
  heap_.FailAllocationsAfter(0);
  PhotoBuilder huge;
  huge.RawField(Ifd::kPrimary, 0x0201, 5, 0x20000001, 8);
  EXPECT_STATUS(E_UNEXPECTED, Walk(huge.Tiff()).status);
  PhotoBuilder large;
  large.RawField(Ifd::kPrimary, 0x0201, 4, 0x10000000, 8);
  EXPECT_STATUS(E_END_OF_DATA, Walk(large.Tiff()).status);
  heap_.FailAllocationsAfter(-1);

  // A file cut inside an entry, and one cut inside an out-of-line value: nothing is made of the
  // bytes that did not arrive.
  PhotoBuilder cut;
  cut.Short(Ifd::kPrimary, 0x0112, {6}).Short(Ifd::kPrimary, 0x0128, {2});
  Bytes tiff = cut.Tiff();
  tiff.resize(8 + 2 + 12 + 7);
  walked = Walk(tiff);
  EXPECT_STATUS(E_END_OF_DATA, walked.status);
  EXPECT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0112}));
  PhotoBuilder value;
  value.Ascii(Ifd::kPrimary, 0x010F, "NIKON CORPORATION");
  tiff = value.Tiff();
  tiff.resize(tiff.size() - 4);
  EXPECT_STATUS(E_END_OF_DATA, Walk(tiff).status);
}

TEST_F(IfdReaderTest, PointerLoopsEndTheWalk) {
  // The Exif pointer leads back to IFD0 and a second Exif pointer is ignored; the tag read twice
  // is handed out once.
  PhotoBuilder photo;
  photo.Short(Ifd::kPrimary, 0x0112, {6})
      .RawField(Ifd::kPrimary, kTagExifIfdPointer, 4, 1, 8)
      .RawField(Ifd::kPrimary, kTagExifIfdPointer, 4, 1, 0x4000);
  const Walked walked = Walk(photo.Tiff());
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  EXPECT_EQ(walked.tags, (std::vector<std::uint16_t>{0x0112}));
}

TEST_F(IfdReaderTest, AQuickPassOverACameraPhotoReadsAtMostThreeWindows) {
  TagFilter filter;
  for (std::uint16_t tag : {0x9003, 0x0112, 0x8298, 0x829A, 0x829D, 0x8827})
    ASSERT_OK(filter.Add(tag));
  const Walked walked =
      Walk(photo::CameraLikePhoto(ByteOrder::kIntel, 1, 8192).Jpeg(), &filter, false);
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  EXPECT_EQ(walked.tags.size(), 6u);
  EXPECT_LE(files_.counters.reads, 3);
  EXPECT_EQ(files_.counters.sizes, 0);
}

}  // namespace
}  // namespace lumatag

namespace lumatag {
namespace {

// Many distinct tags, then repeats of an early and a late one: only the first of each is handed
// out, however many tags the walk has handed out before.
TEST_F(IfdReaderTest, RepeatedTagsAreSkippedAfterManyOthers) {
  PhotoBuilder builder;
  std::vector<std::uint16_t> expected;
  for (std::uint16_t tag = 0x1000; tag < 0x1000 + 100; ++tag) {
    builder.Short(Ifd::kPrimary, tag, {static_cast<std::uint16_t>(tag & 0xFF)});
    expected.push_back(tag);
  }
  builder.Short(Ifd::kPrimary, 0x1000, {7}).Short(Ifd::kPrimary, 0x1060, {7});
  builder.Short(Ifd::kExif, 0x1001, {7}).Short(Ifd::kExif, 0x2000, {7});
  expected.push_back(0x2000);
  const Walked walked = Walk(builder.Tiff());
  EXPECT_STATUS(E_NO_MORE_ITEMS, walked.status);
  EXPECT_EQ(walked.tags, expected);
  ASSERT_EQ(walked.data.size(), expected.size());
  EXPECT_EQ(walked.data[0], (std::vector<std::uint8_t>{0, 0}));        // the first 0x1000
  EXPECT_EQ(walked.data[0x60], (std::vector<std::uint8_t>{0x60, 0}));  // the first 0x1060
}

}  // namespace
}  // namespace lumatag
