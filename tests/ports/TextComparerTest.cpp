#include "ports/TextComparer.h"

#include <gtest/gtest.h>

#include "foundation/AppContext.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

TEST(InvariantCompareTest, CaseAndPunctuation) {
  EXPECT_EQ(CompareInvariant(u"apple", u"APPLE", true), 0);
  EXPECT_NE(CompareInvariant(u"apple", u"APPLE", false), 0);
  EXPECT_EQ(CompareInvariant(u"apple", u"banana", false), -1);
  EXPECT_EQ(CompareInvariant(u"banana", u"apple", true), 1);
  // Hyphens and apostrophes count like other characters.
  EXPECT_NE(CompareInvariant(u"co-op", u"coop", true), 0);
  EXPECT_NE(CompareInvariant(u"its", u"it's", true), 0);
  EXPECT_EQ(CompareInvariant(u"", u"", false), 0);
  EXPECT_EQ(CompareInvariant(u"a", u"", false), 1);
}

TEST(InvariantCompareTest, AnInstalledComparerIsUsed) {
  struct Reversed : TextComparer {
    int Compare(std::u16string_view a, std::u16string_view b, bool) const override {
      return a < b ? 1 : (a == b ? 0 : -1);
    }
    void AppendSortKey(std::u16string_view, bool, std::string*) const override {}
  } reversed;
  {
    AppContext context;
    context.InstallTextComparer(&reversed);
    EXPECT_EQ(context.textComparer, &reversed);
    EXPECT_EQ(CompareInvariant(u"a", u"b", false), 1);
  }
  // The context going puts back the comparer installed before it (the tests' ICU one).
  EXPECT_EQ(CompareInvariant(u"a", u"b", false), -1);
  EXPECT_NE(CompareInvariant(u"co-op", u"coop", true), 0);
}

TEST(InvariantCompareTest, CountedStringAgainstText) {
  CountedString s;
  ASSERT_OK(s.Assign(u"C:\\photos\\a-b.jpg"));
  const CountedString empty;
  EXPECT_EQ(CompareInvariant(s, nullptr, false), 1);
  EXPECT_EQ(CompareInvariant(empty, nullptr, false), 0);
  EXPECT_EQ(CompareInvariant(s, u"C:\\PHOTOS\\A-B.JPG", true), 0);
  EXPECT_NE(CompareInvariant(s, u"C:\\PHOTOS\\A-B.JPG", false), 0);
  EXPECT_NE(CompareInvariant(s, u"C:\\photos\\ab.jpg", true), 0);  // the hyphen counts
}

TEST(InvariantCompareTest, WithoutAComparerTextsCompareByCodeUnits) {
  AppContext context;
  context.InstallTextComparer(nullptr);
  struct Case {
    std::u16string_view a, b;
    bool ignoreCase;
    int expected;
  };
  for (const Case& c : {Case{u"abc", u"ABC", true, 0}, Case{u"abc", u"ABC", false, 1},
                        Case{u"ab", u"abc", false, -1}, Case{u"b", u"a", true, 1},
                        Case{u"", u"", false, 0}, Case{u"co-op", u"coop", true, -1}}) {
    EXPECT_EQ(CompareInvariant(c.a, c.b, c.ignoreCase), c.expected)
        << Utf16ToUtf8(c.a) << " / " << Utf16ToUtf8(c.b);
  }
}

// Keys compared as bytes must order texts as the comparison does, with and without ICU.
TEST(InvariantSortKeyTest, KeysOrderTextsAsTheComparisonDoes) {
  const std::u16string_view texts[] = {u"",
                                       u"a",
                                       u"A",
                                       u"apple",
                                       u"APPLE",
                                       u"Apple",
                                       u"banana",
                                       u"co-op",
                                       u"coop",
                                       u"it's",
                                       u"its",
                                       u"IMG_0001.JPG",
                                       u"img_0001.jpg",
                                       u"IMG_0002.JPG",
                                       u"IMG_10.JPG",
                                       u"Zürich",
                                       u"zurich",
                                       u"Zurich",
                                       u"\u00e9t\u00e9",
                                       u"ete",
                                       u"\u65e5\u672c",
                                       u"\U0001F600 smile",
                                       u"a\u0301",
                                       u"\u00e1",
                                       u"123",
                                       u"-1"};
  auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
  for (const bool icu : {true, false}) {
    AppContext context;
    if (!icu) context.InstallTextComparer(nullptr);
    for (const bool ignoreCase : {false, true}) {
      for (std::u16string_view a : texts) {
        std::string keyA;
        AppendInvariantSortKey(a, ignoreCase, &keyA);
        for (std::u16string_view b : texts) {
          std::string keyB;
          AppendInvariantSortKey(b, ignoreCase, &keyB);
          EXPECT_EQ(sign(keyA.compare(keyB)), CompareInvariant(a, b, ignoreCase))
              << (icu ? "ICU " : "code units ") << ignoreCase << " " << Utf16ToUtf8(a) << " / "
              << Utf16ToUtf8(b);
        }
      }
    }
  }
}

}  // namespace
}  // namespace lumatag
