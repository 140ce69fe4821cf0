#include "foundation/Numbers.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

std::u16string U(const char* ascii) {
  return Utf8ToUtf16(ascii);
}

struct ParseCase {
  const char* input;
  Status status;
  std::int64_t value;  // also the value accumulated before a failure
};

class ParseUInt32Test : public testing::TestWithParam<ParseCase> {};
TEST_P(ParseUInt32Test, Parses) {
  const std::u16string text = U(GetParam().input);
  std::uint32_t value = 123;
  EXPECT_STATUS(GetParam().status, ParseUInt32(text.data(), static_cast<int>(text.size()), &value));
  EXPECT_EQ(value, GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Cases, ParseUInt32Test,
                         testing::Values(ParseCase{"4294967295", S_OK, 4294967295LL},
                                         ParseCase{"4294967296", E_VALUE_OUT_OF_RANGE, 429496729},
                                         ParseCase{"0007", S_OK, 7}, ParseCase{"", E_NO_VALUE, 0},
                                         ParseCase{"12a", E_NOT_A_DIGIT, 12},
                                         ParseCase{" 12", E_NOT_A_DIGIT, 0},
                                         ParseCase{"99999999999", E_VALUE_OUT_OF_RANGE, 999999999}),
                         LT_CASE_NAMES);

class ParseUInt16Test : public testing::TestWithParam<ParseCase> {};
TEST_P(ParseUInt16Test, Parses) {
  const std::u16string text = U(GetParam().input);
  std::uint16_t value = 0;
  EXPECT_STATUS(GetParam().status, ParseUInt16(text.data(), static_cast<int>(text.size()), &value));
  EXPECT_EQ(value, GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Cases, ParseUInt16Test,
                         testing::Values(ParseCase{"65535", S_OK, 65535},
                                         ParseCase{"65536", E_VALUE_OUT_OF_RANGE, 6553},
                                         ParseCase{"70000", E_VALUE_OUT_OF_RANGE, 7000},
                                         ParseCase{"", E_NO_VALUE, 0}),
                         LT_CASE_NAMES);

class ParseInt32Test : public testing::TestWithParam<ParseCase> {};
TEST_P(ParseInt32Test, Parses) {
  const std::u16string text = U(GetParam().input);
  std::int32_t value = 0;
  EXPECT_STATUS(GetParam().status, ParseInt32(text.data(), static_cast<int>(text.size()), &value));
  if (Succeeded(GetParam().status)) {
    EXPECT_EQ(value, GetParam().value);
  }
}
INSTANTIATE_TEST_SUITE_P(Cases, ParseInt32Test,
                         testing::Values(ParseCase{"-2147483648", S_OK, -2147483648LL},
                                         ParseCase{"2147483647", S_OK, 2147483647},
                                         ParseCase{"2147483648", E_VALUE_OUT_OF_RANGE, 0},
                                         ParseCase{"-2147483649", E_VALUE_OUT_OF_RANGE, 0},
                                         ParseCase{"-", E_NOT_A_DIGIT, 0},
                                         ParseCase{"-0", E_NOT_A_DIGIT, 0},
                                         ParseCase{"--1", E_NOT_A_DIGIT, 0},
                                         ParseCase{"-15", S_OK, -15}, ParseCase{"", E_NO_VALUE, 0}),
                         LT_CASE_NAMES);

class ParseHex32Test : public testing::TestWithParam<ParseCase> {};
TEST_P(ParseHex32Test, Parses) {
  const std::u16string text = U(GetParam().input);
  std::uint32_t value = 0;
  EXPECT_STATUS(GetParam().status, ParseHex32(text.data(), static_cast<int>(text.size()), &value));
  if (Succeeded(GetParam().status)) {
    EXPECT_EQ(value, GetParam().value);
  }
}
INSTANTIATE_TEST_SUITE_P(Cases, ParseHex32Test,
                         testing::Values(ParseCase{"1aF", S_OK, 0x1AF},
                                         ParseCase{"0x1A", E_NOT_A_HEX_DIGIT, 0},
                                         ParseCase{"FFFFFFFF", S_OK, 0xFFFFFFFFLL},
                                         ParseCase{"100000000", E_VALUE_OUT_OF_RANGE, 0},
                                         ParseCase{"g", E_NOT_A_HEX_DIGIT, 0},
                                         ParseCase{"", E_NO_VALUE, 0}),
                         LT_CASE_NAMES);

TEST(FormatNumbersTest, Decimal) {
  CountedString s;
  ASSERT_OK(FormatInt32(s, -2147483647 - 1));
  EXPECT_EQ(s.View(), u"-2147483648");
  ASSERT_OK(FormatInt32(s, 0));
  EXPECT_EQ(s.View(), u"0");
  ASSERT_OK(FormatUInt16(s, 65535));
  EXPECT_EQ(s.View(), u"65535");
  ASSERT_OK(FormatUInt32(s, 4294967295u));
  EXPECT_EQ(s.View(), u"4294967295");
}

struct PaddedCase {
  std::uint32_t value;
  int digits;
  const char16_t* text;
};
class FormatPaddedTest : public testing::TestWithParam<PaddedCase> {};
TEST_P(FormatPaddedTest, PadsButNeverCuts) {
  CountedString s;
  ASSERT_OK(FormatUInt32Padded(s, GetParam().value, GetParam().digits));
  EXPECT_EQ(s.View(), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Cases, FormatPaddedTest,
                         testing::Values(PaddedCase{7, 3, u"007"}, PaddedCase{1234, 3, u"1234"},
                                         PaddedCase{0, 0, u"0"},
                                         PaddedCase{5, 12, u"000000000005"}),
                         LT_CASE_NAMES);

TEST(FormatNumbersTest, Hexadecimal) {
  CountedString s;
  ASSERT_OK(FormatHex(s, 10));
  EXPECT_EQ(s.View(), u"0x0a");
  ASSERT_OK(FormatHex(s, 0));
  EXPECT_EQ(s.View(), u"0x00");
  ASSERT_OK(FormatHex(s, 0xff));
  EXPECT_EQ(s.View(), u"0xff");
  ASSERT_OK(FormatHex(s, 0x1234));
  EXPECT_EQ(s.View(), u"0x1234");
}

struct FixedCase {
  double value;
  const char16_t* text;
};
class FormatFixedTest : public testing::TestWithParam<FixedCase> {};
TEST_P(FormatFixedTest, OneDigitAfterThePoint) {
  CountedString s;
  ASSERT_OK(FormatFixed1(s, GetParam().value));
  EXPECT_EQ(s.View(), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Cases, FormatFixedTest,
                         testing::Values(FixedCase{12.34, u"12.3"}, FixedCase{-12.34, u"-12.3"},
                                         FixedCase{0.5, u".5"}, FixedCase{-0.7, u"-.7"},
                                         FixedCase{9.96, u"10.0"}, FixedCase{2.8, u"2.8"},
                                         FixedCase{0.25, u".3"}, FixedCase{0.0, u".0"}),
                         LT_CASE_NAMES);

TEST(FormatNumbersTest, FixedPointRefusesNonFiniteValues) {
  CountedString s;
  EXPECT_STATUS(E_INVALIDARG, FormatFixed1(s, std::numeric_limits<double>::infinity()));
}

TEST(FormatNumbersTest, FixedTargetTooSmall) {
  FixedString<3> s;
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, FormatUInt32(s, 12345));
}

}  // namespace
}  // namespace lumatag
