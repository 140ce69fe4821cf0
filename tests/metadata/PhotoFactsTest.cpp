// The photo record, its metadata set, the picture-taken date, the catalogue of names, metadata IDs
// and the sample photo.
#include <gtest/gtest.h>

#include <cstring>

#include "metadata/MetadataCatalogue.h"
#include "metadata/PhotoFacts.h"
#include "metadata/SamplePhoto.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

const StringModule& Strings() {
  return StringModule::BuiltIn();
}

Status AddShort(PhotoFacts* photo, std::uint16_t tag, std::uint16_t value) {
  return AddMetadataValue(photo, tag, kTypeShort, 1, &value, Strings());
}

Status AddAscii(PhotoFacts* photo, std::uint16_t tag, const char* text) {
  return AddMetadataValue(photo, tag, kTypeAscii, static_cast<std::uint32_t>(std::strlen(text) + 1),
                          text, Strings());
}

TEST(PhotoFactsTest, InitSetupAndClear) {
  PhotoFacts photo;
  InitPhotoFacts(&photo);
  EXPECT_EQ(photo.fileDate, (SystemTime{1601, 1, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(photo.patternIndex, kNoPatternIndex);
  EXPECT_EQ(photo.flags, 0u);

  PrivateHeap heap;
  photo.flags = kPhotoUnnamedWhenListed | kPhotoNamed;
  const FileTime time = FileTimeFromUnix(1356696572, 0);  // 2012-12-28 12:09:32 UTC
  ASSERT_OK(SetupPhotoFacts(&photo, &heap, u"IMG_0001.JPG", &time, 3, 17));
  EXPECT_EQ(photo.heap, &heap);
  EXPECT_EQ(photo.fileName.View(), u"IMG_0001.JPG");
  EXPECT_EQ(photo.originalFileName.View(), u"IMG_0001.JPG");
  EXPECT_EQ(photo.fileDate, (SystemTime{2012, 12, 5, 28, 12, 9, 32, 0}));
  EXPECT_EQ(photo.flags, kPhotoUnnamed | kPhotoNamed);
  EXPECT_EQ(photo.patternIndex, 3);
  EXPECT_EQ(PatternIndex(photo), 3);
  photo.flags |= kPhotoUnnamedWhenListed;
  EXPECT_EQ(PatternIndex(photo), kNoPatternIndex);
  EXPECT_EQ(photo.number, 17u);
  EXPECT_EQ(photo.metadata.Count(), 0);
  EXPECT_GE(photo.metadata.Capacity(), MetadataSet::kInitialCapacity);

  ASSERT_OK(AddShort(&photo, kTagOrientation, 6));
  ClearPhotoFacts(&photo);
  EXPECT_TRUE(photo.fileName.IsEmpty());
  EXPECT_TRUE(photo.originalFileName.IsEmpty());
  EXPECT_EQ(photo.metadata.Count(), 0);
  EXPECT_EQ(photo.flags, kPhotoNamed);
  EXPECT_EQ(photo.number, 0u);
  EXPECT_EQ(photo.patternIndex, kNoPatternIndex);
}

TEST(PhotoFactsTest, SetupRefusesMissingArgumentsAndClears) {
  PhotoFacts photo;
  PrivateHeap heap;
  const FileTime time = 0;
  EXPECT_STATUS(E_INVALIDARG, SetupPhotoFacts(&photo, nullptr, u"a", &time, 0, 0));
  EXPECT_STATUS(E_INVALIDARG, SetupPhotoFacts(&photo, &heap, nullptr, &time, 0, 0));
  EXPECT_STATUS(E_INVALIDARG, SetupPhotoFacts(&photo, &heap, u"a", nullptr, 0, 0));
  const FileTime tooLate = ~FileTime{0};
  EXPECT_STATUS(E_INVALIDARG, SetupPhotoFacts(&photo, &heap, u"a.jpg", &tooLate, 2, 5));
  EXPECT_TRUE(photo.fileName.IsEmpty());
  EXPECT_EQ(photo.patternIndex, kNoPatternIndex);
  EXPECT_EQ(photo.number, 0u);
}

TEST(PhotoFactsTest, TheSetIsSortedAndKeepsTheFirstOccurrence) {
  PhotoFacts photo;
  PrivateHeap heap;
  ASSERT_OK(SetupPhotoFacts(&photo, &heap, u"a.jpg", kNoDate, 0, 0));
  for (std::uint16_t tag :
       {0xA002, 0x0112, 0x8827, 0x0100, 0x9207, 0x0101, 0x0102, 0x0103, 0x0104, 0x0105, 0x0107}) {
    ASSERT_OK(AddShort(&photo, tag, 1));
  }
  EXPECT_STATUS(E_ALREADY_PRESENT, AddShort(&photo, kTagOrientation, 6));
  std::uint16_t previous = 0;
  for (const MetadataEntry& entry : photo.metadata) {
    EXPECT_GT(entry.tag, previous);
    previous = entry.tag;
  }
  const MetadataEntry* orientation = FindMetadataEntry(photo, kTagOrientation);
  ASSERT_NE(orientation, nullptr);
  EXPECT_EQ(orientation->text.View(), u"landscape");
  EXPECT_EQ(FindMetadataEntry(photo, 0x0110), nullptr);
  EXPECT_EQ(FindMetadataEntry(photo, 0xFFFF), nullptr);

  // A value that cannot be rendered is not added.
  const std::uint32_t value = 1;
  EXPECT_STATUS(E_UNEXPECTED, AddMetadataValue(&photo, 0x0200, 11, 1, &value, Strings()));
  EXPECT_EQ(FindMetadataEntry(photo, 0x0200), nullptr);
}

TEST(PhotoFactsTest, DateTimeOriginalWinsOverTheFileDate) {
  PhotoFacts photo;
  PrivateHeap heap;
  const SystemTime fileDate{2014, 3, 0, 2, 8, 0, 0, 0};
  ASSERT_OK(SetupPhotoFacts(&photo, &heap, u"a.jpg", fileDate, 0, 0));
  EXPECT_EQ(GetPictureTakenDate(photo), fileDate);
  ASSERT_OK(AddAscii(&photo, kTagDateTime, "2011:01:01 00:00:00"));
  ASSERT_OK(AddAscii(&photo, kTagDateTimeDigitized, "2011:01:02 00:00:00"));
  EXPECT_EQ(GetPictureTakenDate(photo), fileDate);
  ASSERT_OK(AddAscii(&photo, kTagDateTimeOriginal, "2012:12:28 12:09:32"));
  EXPECT_EQ(GetPictureTakenDate(photo), (SystemTime{2012, 12, 0, 28, 12, 9, 32, 0}));
  EXPECT_EQ(FindMetadataEntry(photo, kTagDateTimeOriginal)->text.View(), u"2012:12:28 12:09:32");

  // A DateTimeOriginal that is not text has no date.
  PhotoFacts other;
  ASSERT_OK(SetupPhotoFacts(&other, &heap, u"b.jpg", fileDate, 0, 0));
  ASSERT_OK(AddShort(&other, kTagDateTimeOriginal, 2012));
  EXPECT_EQ(GetPictureTakenDate(other), fileDate);
}

TEST(PhotoFactsTest, CompareCalendarFieldsIgnoresTheDayOfWeek) {
  const SystemTime a{2012, 12, 5, 28, 12, 9, 32, 0};
  struct Case {
    SystemTime b;
    int expected;
  };
  const Case cases[] = {
      {{2012, 12, 1, 28, 12, 9, 32, 0}, 0},    {{2013, 1, 5, 1, 0, 0, 0, 0}, -1},
      {{2012, 12, 5, 28, 12, 9, 32, 1}, -1},   {{2012, 12, 5, 28, 12, 9, 31, 999}, 1},
      {{2012, 11, 5, 30, 23, 59, 59, 999}, 1}, {{0, 0, 0, 0, 0, 0, 0, 0}, 1},
      {{65535, 1, 0, 1, 0, 0, 0, 0}, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareCalendarFields(a, c.b), c.expected);
    EXPECT_EQ(CompareCalendarFields(c.b, a), -c.expected);
  }
}

TEST(MetadataCatalogueTest, NamesAreFoundExactly) {
  ASSERT_EQ(MetadataCatalogue().size(), 29u);
  EXPECT_EQ(MetadataCatalogue().front().keyword, 11);
  EXPECT_EQ(MetadataCatalogue().back().keyword, 39);
  for (const MetadataName& name : MetadataCatalogue()) {
    std::uint16_t tag = 0;
    ASSERT_OK(LookUpMetadataName(Strings(), Strings().Text(name.stringId), &tag));
    EXPECT_EQ(tag, name.tag);
    EXPECT_EQ(FindMetadataName(tag), &name);
  }
  std::uint16_t tag = 0;
  EXPECT_STATUS(E_NOT_FOUND, LookUpMetadataName(Strings(), u"datetimeoriginal", &tag));
  EXPECT_STATUS(E_NOT_FOUND, LookUpMetadataName(Strings(), u"Compression", &tag));
  EXPECT_STATUS(E_NOT_FOUND, LookUpMetadataName(Strings(), u"", &tag));
  EXPECT_EQ(FindMetadataName(0xA402), nullptr);
}

struct IdCase {
  std::u16string text;
  std::uint16_t tag;
  std::uint16_t message;  // 0 when the text parses
};

void PrintTo(const IdCase& c, std::ostream* out) {
  *out << '"' << Utf16ToUtf8(c.text) << '"';
}

class MetadataIdTest : public ::testing::TestWithParam<IdCase> {};

TEST_P(MetadataIdTest, ParsesOrNamesTheMessage) {
  const IdCase& c = GetParam();
  std::uint16_t tag = 1;
  std::uint16_t message = 1;
  const Status status = ParseMetadataId(c.text, &tag, &message);
  EXPECT_EQ(Succeeded(status), c.message == 0);
  EXPECT_EQ(tag, c.tag);
  EXPECT_EQ(message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MetadataIdTest,
    ::testing::Values(
        IdCase{u"x9286", 0x9286, 0}, IdCase{u"X9286", 0, IDS_ERR_INVALID_CHARACTER_INTEGER},
        IdCase{u"65535", 65535, 0}, IdCase{u"65536", 0, IDS_ERR_INTEGER_TOO_BIG_METADATA},
        IdCase{u"x10000", 0, IDS_ERR_INTEGER_TOO_BIG_METADATA},
        IdCase{u"xFFFFFFFFF", 0, IDS_ERR_INTEGER_TOO_BIG_METADATA},
        IdCase{u"", 0, IDS_ERR_METADATA_ID_EMPTY}, IdCase{u"x", 0, IDS_ERR_METADATA_ID_EMPTY},
        IdCase{u"12a", 0, IDS_ERR_INVALID_CHARACTER_INTEGER},
        IdCase{u"xG1", 0, IDS_ERR_INVALID_CHARACTER_HEX}, IdCase{u"xffff", 0xFFFF, 0},
        IdCase{u"0", 0, 0}, IdCase{u"274", 0x0112, 0}),
    LT_CASE_NAMES);

TEST(MetadataIdTest, MessagesAreTheTableTexts) {
  EXPECT_EQ(Strings().Text(IDS_ERR_METADATA_ID_EMPTY),
            u"A value must be specified for the metadata ID.");
  EXPECT_EQ(Strings().Text(IDS_ERR_INVALID_CHARACTER_HEX),
            u"An invalid character was found in a hexadecimal value.");
  EXPECT_EQ(Strings().Text(IDS_ERR_INTEGER_TOO_BIG_METADATA), u"The integer is too big.");
  EXPECT_EQ(Strings().Text(IDS_ERR_INVALID_CHARACTER_INTEGER),
            u"An invalid character was found in an integer.");
  EXPECT_EQ(Strings().Text(IDS_ERR_METADATA_ID),
            u"An error occurred while getting the metadata ID.");
}

TEST(SamplePhotoTest, HoldsTheSampleValuesAsTexts) {
  PhotoFacts photo;
  PrivateHeap heap;
  const SystemTime opened{2024, 6, 1, 3, 9, 30, 0, 0};
  ASSERT_OK(BuildSamplePhoto(&photo, &heap, Strings(), opened));
  EXPECT_EQ(photo.fileName.View(), u"IMG_1234.JPG");
  EXPECT_EQ(photo.originalFileName.View(), u"IMG_1234.JPG");
  EXPECT_EQ(photo.fileDate, opened);
  EXPECT_EQ(photo.metadata.Count(), 28);
  const struct {
    std::uint16_t tag;
    std::u16string_view text;
  } expected[] = {
      {kTagMake, u"NIKON"},
      {kTagModel, u"NIKON D7000"},
      {kTagArtist, u"Kim R. Sample"},
      {kTagCopyright, u"Copyright \u00a9 2013 Kim R. Sample"},
      {kTagImageDescription, u"Picture I took"},
      {kTagDateTime, u"2012:12:28 12:09:32"},
      {kTagDateTimeOriginal, u"2012:12:28 12:09:32"},
      {kTagPixelXDimension, u"1024"},
      {kTagPixelYDimension, u"768"},
      {kTagColorSpace, u"sRGB"},
      {kTagXResolution, u"300"},
      {kTagResolutionUnit, u"DPI"},
      {kTagWhiteBalance, u"auto"},
      {kTagExposureProgram, u"normal"},
      {kTagISOSpeedRatings, u"200"},
      {kTagLightSource, u"daylight"},
      {kTagMeteringMode, u"pattern"},
      {kTagOrientation, u"landscape"},
      {kTagPhotometricInterpretation, u"RGB"},
      {kTagFocalLengthIn35mmFormat, u"127"},
      {kTagSubjectLocation, u"512, 225"},
      {kTagExposureTime, u"1/60"},
      {kTagFNumber, u"7.1"},
      {kTagFocalLength, u"50"},
      {kTagSubjectDistance, u"20"},
      {kTagUserComment, u"2013 Vacation"},
  };
  for (const auto& e : expected) {
    const MetadataEntry* entry = FindMetadataEntry(photo, e.tag);
    ASSERT_NE(entry, nullptr) << e.tag;
    EXPECT_EQ(entry->text.View(), e.text) << e.tag;
  }
  EXPECT_EQ(FindMetadataEntry(photo, kTagUserComment)->type, kTypeByte);
  EXPECT_EQ(FindMetadataEntry(photo, kTagSubjectLocation)->count, 2u);
  EXPECT_EQ(GetPictureTakenDate(photo), (SystemTime{2012, 12, 0, 28, 12, 9, 32, 0}));
}

}  // namespace
}  // namespace lumatag
