// Value texts: every rule of the rendering table, the enumerations, user comments and dates.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

struct RenderCase {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::vector<std::uint8_t> data;  // host order
  std::u16string text;
};

template <class T>
std::vector<std::uint8_t> Host(std::initializer_list<T> values) {
  std::vector<std::uint8_t> bytes(values.size() * sizeof(T));
  std::memcpy(bytes.data(), std::data(values), bytes.size());
  return bytes;
}
std::vector<std::uint8_t> Chars(std::string_view text) {
  return {text.begin(), text.end()};
}

RenderCase Short(std::uint16_t tag, std::initializer_list<std::uint16_t> v, std::u16string text) {
  return {tag, kTypeShort, static_cast<std::uint32_t>(v.size()), Host(v), std::move(text)};
}
RenderCase Rational(std::uint16_t tag, std::initializer_list<std::uint32_t> v,
                    std::u16string text) {
  return {tag, kTypeRational, static_cast<std::uint32_t>(v.size() / 2), Host(v), std::move(text)};
}
RenderCase SRational(std::initializer_list<std::int32_t> v, std::u16string text) {
  return {0x9204, kTypeSRational, static_cast<std::uint32_t>(v.size() / 2), Host(v),
          std::move(text)};
}
RenderCase Ascii(std::uint16_t tag, std::string_view bytes, std::u16string text) {
  return {tag, kTypeAscii, static_cast<std::uint32_t>(bytes.size()), Chars(bytes), std::move(text)};
}
RenderCase Comment(std::string_view bytes, std::u16string text,
                   std::uint16_t type = kTypeUndefined) {
  return {kTagUserComment, type, static_cast<std::uint32_t>(bytes.size()), Chars(bytes),
          std::move(text)};
}

void PrintTo(const RenderCase& c, std::ostream* out) {
  *out << "tag " << c.tag << " type " << c.type << " -> \"" << Utf16ToUtf8(c.text) << '"';
}

class RenderTest : public ::testing::TestWithParam<RenderCase> {};

TEST_P(RenderTest, RendersTheValue) {
  const RenderCase& c = GetParam();
  MetadataEntry entry;
  entry.tag = c.tag;
  entry.type = c.type;
  entry.count = c.count;
  ASSERT_OK(entry.AllocateData(&PrivateHeap::Process(), static_cast<std::uint32_t>(c.data.size())));
  if (!c.data.empty()) std::memcpy(entry.data, c.data.data(), c.data.size());
  ASSERT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
  EXPECT_EQ(std::u16string(entry.text.View()), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RenderTest,
    ::testing::Values(
        Rational(kTagExposureTime, {10, 1250}, u"1/125"),
        Rational(kTagExposureTime, {1, 60}, u"1/60"), Rational(kTagExposureTime, {1, 1}, u"1/1"),
        Rational(kTagExposureTime, {3, 1000}, u"1/333"), Rational(kTagFNumber, {28, 5}, u"5.6"),
        Rational(kTagFNumber, {8, 1}, u"8"), Rational(kTagFNumber, {1, 2}, u".5"),
        Rational(kTagFocalLength, {500, 10}, u"50"),
        Rational(kTagFocalLength, {1005, 10}, u"100.5"), Rational(kTagXResolution, {72, 1}, u"72"),
        Rational(kTagXResolution, {300, 7}, u"300/7"),
        Rational(0x0214, {0, 1, 255, 1, 128, 0}, u"0, 255, 128/0"), SRational({-2, 6}, u"-2/6"),
        SRational({-6, 3}, u"-2"), SRational({5, -1, 0, 0}, u"-5, 0/0"),
        RenderCase{0x9201, kTypeSLong, 2, Host<std::int32_t>({-7, 2147483647}), u"-7, 2147483647"},
        RenderCase{0xA002, kTypeLong, 1, Host<std::uint32_t>({4294967295u}), u"4294967295"},
        Short(kTagISOSpeedRatings, {200}, u"200"),
        Short(kTagSubjectLocation, {1234, 567}, u"1234, 567"),
        RenderCase{0x9000, kTypeUndefined, 4, {0x30, 0x32, 0x33, 0x30}, u"48, 50, 51, 48"},
        RenderCase{0x0000, kTypeByte, 2, {2, 255}, u"2, 255"},
        Ascii(kTagMake, std::string_view("NIKON   \0", 9), u"NIKON"),
        Ascii(kTagModel, std::string_view("  D7000\0junk", 12), u"D7000"),
        Ascii(kTagArtist, "no terminator", u"no terminator"),
        Ascii(kTagCopyright, "caf\xc3\xa9", u"caf\u00e9"),          // UTF-8
        Ascii(kTagCopyright, "caf\xe9 \x80", u"caf\u00e9 \u20ac"),  // Windows-1252
        RenderCase{kTagMake, kTypeAscii, 0, {}, u""},
        RenderCase{kTagExposureTime, kTypeRational, 0, {}, u""}),
    LT_CASE_NAMES);

// Exposures longer than a second read as seconds; zero parts never divide.
INSTANTIATE_TEST_SUITE_P(ImpossibleFractions, RenderTest,
                         ::testing::Values(Rational(kTagExposureTime, {2, 1}, u"2"),
                                           Rational(kTagExposureTime, {3, 2}, u"1.5"),
                                           Rational(kTagExposureTime, {300, 10}, u"30"),
                                           Rational(kTagExposureTime, {0, 1}, u"0"),
                                           Rational(kTagExposureTime, {0, 0}, u"0/0"),
                                           Rational(kTagExposureTime, {1, 0}, u"1/0"),
                                           Rational(kTagFNumber, {28, 0}, u"28/0"),
                                           Rational(kTagFocalLength, {0, 0}, u"0/0"),
                                           SRational({-2147483647 - 1, -1}, u"2147483648"),
                                           SRational({-2147483647 - 1, 1}, u"-2147483648")),
                         LT_CASE_NAMES);

INSTANTIATE_TEST_SUITE_P(
    Enumerations, RenderTest,
    ::testing::Values(
        Short(kTagOrientation, {6}, u"portrait"), Short(kTagOrientation, {9}, u"9"),
        Short(kTagOrientation, {1, 6}, u"landscape"), Short(kTagMeteringMode, {255}, u"other"),
        Short(kTagMeteringMode, {7}, u"7"),
        Short(kTagPhotometricInterpretation, {32803}, u"color filter array"),
        Short(kTagResolutionUnit, {3}, u"DPC"), Short(kTagColorSpace, {65535}, u"uncalibrated"),
        Short(kTagColorSpace, {2}, u"adbobe RGB"),
        Short(kTagLightSource, {24}, u"ISO studio tungsten"), Short(kTagLightSource, {5}, u"5"),
        Short(0xA402, {2}, u"auto bracket"), Short(kTagExposureProgram, {9}, u"bulb"),
        Short(kTagWhiteBalance, {1}, u"manual"), Short(0xA408, {2}, u"high"),
        Short(0xFE54, {1}, u"low"), Short(0xA409, {0}, u"normal"), Short(0xFE55, {2}, u"high"),
        Short(0xA40A, {1}, u"soft"), Short(0xFE56, {2}, u"hard"), Short(0xA40C, {1}, u"macro"),
        // Only SHORT values are looked up.
        RenderCase{kTagOrientation, kTypeLong, 1, Host<std::uint32_t>({6}), u"6"}),
    LT_CASE_NAMES);

INSTANTIATE_TEST_SUITE_P(
    UserComments, RenderTest,
    ::testing::Values(Comment(std::string_view("unicode\0T\0r\0i\0p\0", 16), u"Trip"),
                      Comment(std::string_view("UniCode\0 \0O\0k\0 \0\0\0\0\0", 20),
                              u"Ok"),                                            // padding dropped
                      Comment(std::string_view("UNICODE\0A\0B\0C", 13), u"AB"),  // odd byte ignored
                      Comment(std::string_view("ASCII\0\0\0Trip\0\0\0", 15), u"Trip"),
                      Comment(std::string_view("\0\0\0\0\0\0\0\0    ", 12), u""),
                      Comment(std::string_view("JIS\0\0\0\0\0  Hi  ", 14), u"Hi"),
                      Comment(std::string_view("ASCII\0\0", 7), u""),  // shorter than the code
                      Comment(std::string_view("UNICODE ", 8), u""),
                      Comment(std::string_view("UNICODEXa\0", 10), u"a"),  // no zero after the word
                      Comment(std::string_view("ASCII\0\0\0Byte", 12), u"Byte", kTypeByte),
                      Ascii(kTagUserComment, "  plain  ", u"plain")),
    LT_CASE_NAMES);

TEST(RenderTest, UnicodeCommentsFollowTheFileByteOrder) {
  const std::string_view bytes("UNICODE\0\0T\0r\0i\0p", 16);
  MetadataEntry entry;
  entry.tag = kTagUserComment;
  entry.type = kTypeUndefined;
  entry.count = 16;
  entry.bigEndianSource = true;
  ASSERT_OK(entry.AllocateData(&PrivateHeap::Process(), 16));
  std::memcpy(entry.data, bytes.data(), 16);
  ASSERT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
  EXPECT_EQ(std::u16string(entry.text.View()), u"Trip");
}

TEST(RenderTest, RendersOnceAndRefusesUnknownTypes) {
  MetadataEntry entry;
  entry.tag = kTagISOSpeedRatings;
  entry.type = kTypeShort;
  entry.count = 1;
  ASSERT_OK(entry.AllocateData(&PrivateHeap::Process(), 2));
  const std::uint16_t iso = 400;
  std::memcpy(entry.data, &iso, 2);
  EXPECT_STATUS(E_INVALIDARG, RenderMetadataValue(&entry, nullptr, StringModule::BuiltIn()));
  ASSERT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
  const std::uint16_t other = 800;
  std::memcpy(entry.data, &other, 2);
  ASSERT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
  EXPECT_EQ(std::u16string(entry.text.View()), u"400");

  for (std::uint16_t type : {0, 6, 8, 11, 12, 13}) {
    MetadataEntry odd;
    odd.tag = 0x1234;
    odd.type = type;
    odd.count = 1;
    EXPECT_STATUS(E_UNEXPECTED,
                  RenderMetadataValue(&odd, &PrivateHeap::Process(), StringModule::BuiltIn()));
    EXPECT_TRUE(odd.text.IsEmpty());
  }
  // A count larger than the data the entry holds is refused, not read past.
  MetadataEntry shortData;
  shortData.tag = 0x1234;
  shortData.type = kTypeLong;
  shortData.count = 3;
  ASSERT_OK(shortData.AllocateData(&PrivateHeap::Process(), 4));
  EXPECT_STATUS(E_UNEXPECTED,
                RenderMetadataValue(&shortData, &PrivateHeap::Process(), StringModule::BuiltIn()));
}

TEST(RenderTest, LongListsStopAtTheLongestString) {
  MetadataEntry entry;
  entry.tag = 0x0111;
  entry.type = kTypeLong;
  entry.count = 100000;
  ASSERT_OK(entry.AllocateData(&PrivateHeap::Process(), 400000));
  std::memset(entry.data, 0xFF, 400000);
  ASSERT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
  EXPECT_EQ(entry.text.Length(), CountedString::kMaxLength);
}

struct DateCase {
  std::string_view text;
  SystemTime date;
};

void PrintTo(const DateCase& c, std::ostream* out) {
  *out << '"' << c.text.substr(0, c.text.find('\0')) << '"';
}

class DateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTest, ParsesFieldsLikeAtoi) {
  const DateCase& c = GetParam();
  const SystemTime date = ParseMetadataDate(reinterpret_cast<const std::uint8_t*>(c.text.data()),
                                            static_cast<std::uint32_t>(c.text.size()));
  EXPECT_EQ(date, c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DateTest,
    ::testing::Values(DateCase{std::string_view("2012:12:28 12:09:32\0", 20),
                               {2012, 12, 0, 28, 12, 9, 32, 0}},
                      DateCase{"    :  :     :  :  ", {0, 0, 0, 0, 0, 0, 0, 0}},
                      DateCase{"2012::28", {2012, 0, 0, 28, 0, 0, 0, 0}},
                      DateCase{"2012:13:40 25:61:99:77", {2012, 13, 0, 40, 25, 61, 99, 0}},
                      DateCase{"2012x:+7:-1", {2012, 7, 0, 65535, 0, 0, 0, 0}},
                      DateCase{"70000", {4464, 0, 0, 0, 0, 0, 0, 0}},
                      DateCase{"\t2012:\r\n12", {2012, 12, 0, 0, 0, 0, 0, 0}},
                      DateCase{std::string_view("2001:02\0:03", 11), {2001, 2, 0, 0, 0, 0, 0, 0}},
                      DateCase{"", {0, 0, 0, 0, 0, 0, 0, 0}}),
    LT_CASE_NAMES);

TEST(RenderTest, DateTagsKeepTheirTextAndGainADate) {
  for (std::uint16_t tag : {kTagDateTime, kTagDateTimeOriginal, kTagDateTimeDigitized}) {
    MetadataEntry entry;
    entry.tag = tag;
    entry.type = kTypeAscii;
    entry.count = 20;
    ASSERT_OK(entry.AllocateData(&PrivateHeap::Process(), 20));
    std::memcpy(entry.data, "2012:12:28 12:09:32", 20);
    ASSERT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
    EXPECT_EQ(std::u16string(entry.text.View()), u"2012:12:28 12:09:32");
    EXPECT_EQ(entry.hasDate, tag != kTagDateTimeDigitized);
    if (entry.hasDate) {
      EXPECT_EQ(entry.date, (SystemTime{2012, 12, 0, 28, 12, 9, 32, 0}));
    }
  }
}

}  // namespace
}  // namespace lumatag
