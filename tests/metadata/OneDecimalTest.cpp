// One-decimal values (f-number, focal length, long exposure times) render exactly as the general
// fixed-point conversion renders them, on the values where rounding is delicate and on a sweep.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/Numbers.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

// The text of a RATIONAL value of `tag`.
std::u16string Rendered(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
  const std::uint32_t words[2] = {numerator, denominator};
  MetadataEntry entry;
  entry.tag = tag;
  entry.type = kTypeRational;
  entry.count = 1;
  EXPECT_OK(entry.AllocateData(&PrivateHeap::Process(), sizeof words));
  std::memcpy(entry.data, words, sizeof words);
  EXPECT_OK(RenderMetadataValue(&entry, &PrivateHeap::Process(), StringModule::BuiltIn()));
  return std::u16string(entry.text.View());
}

// What the general conversion gives: FormatFixed1, then a trailing ".0" dropped from a text
// longer than two characters.
std::u16string Expected(double value) {
  FixedString<400> fixed;
  EXPECT_OK(FormatFixed1(fixed, value));
  std::u16string text(fixed.View());
  if (text.size() > 2 && text.substr(text.size() - 2) == u".0") text.resize(text.size() - 2);
  return text;
}

TEST(OneDecimalTest, DelicateValuesMatchTheGeneralConversion) {
  const std::uint32_t cases[][2] = {
      {0, 1},
      {1, 20},
      {1, 40},
      {3, 20},
      {5, 20},
      {1, 4},
      {3, 40},
      {7, 20},
      {71, 10},
      {28, 10},
      {95, 100},
      {995, 1000},
      {9995, 10000},
      {5, 100},
      {15, 100},
      {25, 100},
      {35, 100},
      {45, 100},
      {105, 100},
      {1, 3},
      {2, 3},
      {10, 1},
      {100, 10},
      {4294967295u, 1},
      {4294967295u, 3},
      {1, 4294967295u},
      {4294967295u, 4294967295u},
      {4294967295u, 2},
      {123456789, 1000},
  };
  for (const auto& c : cases) {
    const double value = static_cast<double>(c[0]) / c[1];
    EXPECT_EQ(Rendered(kTagFNumber, c[0], c[1]), Expected(value)) << c[0] << "/" << c[1];
    EXPECT_EQ(Rendered(kTagFocalLength, c[0], c[1]), Expected(value)) << c[0] << "/" << c[1];
  }
}

TEST(OneDecimalTest, SweepMatchesTheGeneralConversion) {
  for (std::uint32_t denominator : {1u, 2u, 3u, 4u, 7u, 8u, 10u, 16u, 20u, 40u, 100u, 1000u}) {
    for (std::uint32_t numerator = 0; numerator < 3000; ++numerator) {
      const double value = static_cast<double>(numerator) / denominator;
      ASSERT_EQ(Rendered(kTagFNumber, numerator, denominator), Expected(value))
          << numerator << "/" << denominator;
    }
  }
  // Long exposures (more than a second) take the same one-decimal text.
  for (std::uint32_t numerator = 11; numerator < 400; ++numerator) {
    ASSERT_EQ(Rendered(kTagExposureTime, numerator, 10), Expected(numerator / 10.0)) << numerator;
  }
}

}  // namespace
}  // namespace lumatag
