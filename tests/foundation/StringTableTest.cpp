#include "foundation/StringTable.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

// A module holding entries of 255 and 256 characters, and an empty one.
class StringLoadTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string table = "21000\t\t" + std::string(255, 'a') + "\n21001\t\t" +
                              std::string(256, 'b') + "\n21002\t\t\n21003\t\tshort\n";
    StringTableError error;
    ASSERT_TRUE(module_.LoadText(table, &error)) << error.message;
  }
  StringModule module_;
};

TEST_F(StringLoadTest, FixedTargetTakesExactlyItsCapacity) {
  MessageString text;
  ASSERT_OK(LoadString(module_, 21000, text));
  EXPECT_EQ(text.Length(), 255);
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, LoadString(module_, 21001, text));
  EXPECT_EQ(text.Storage()[0], text.Length());  // the count character stays in step
}

TEST_F(StringLoadTest, HeapTargetRegrowsWhenCutShort) {
  CountedString text;
  ASSERT_OK(LoadString(module_, 21000, text));
  EXPECT_EQ(text.Length(), 255);
  ASSERT_OK(LoadString(module_, 21001, text));
  EXPECT_EQ(text.Length(), 256);
  EXPECT_EQ(text.Capacity(), 256);
  EXPECT_EQ(text.View(), std::u16string(256, u'b'));
  // A small heap string starts with room for two characters and regrows once.
  CountedString fresh;
  ASSERT_OK(LoadString(module_, 21003, fresh));
  EXPECT_EQ(fresh.View(), u"short");
}

TEST_F(StringLoadTest, EmptyEntryLoadsEmptyAndMissingEntryFails) {
  CountedString text;
  ASSERT_OK(text.Assign(u"old"));
  ASSERT_OK(LoadString(module_, 21002, text));
  EXPECT_EQ(text.Length(), 0);
  EXPECT_STATUS(E_RESOURCE_NOT_FOUND, LoadString(module_, 21004, text));
  EXPECT_STATUS(E_RESOURCE_NOT_FOUND, LoadString(module_, 1, text));
}

TEST_F(StringLoadTest, AppendEntryGoesThroughA255Buffer) {
  CountedString text;
  ASSERT_OK(text.Assign(u">"));
  ASSERT_OK(AppendString(module_, 21003, text));
  EXPECT_EQ(text.View(), u">short");
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, AppendString(module_, 21001, text));
  EXPECT_EQ(text.View(), u">short");
}

TEST(StringTableTextTest, ParsesEscapesAndComments) {
  std::vector<StringTableEntry> entries;
  StringTableError error;
  ASSERT_TRUE(ParseStringTableText(
      "\xEF\xBB\xBF# comment\r\n\n21000\tIDS_A\ta\\tb\\nc\\\\d\\u0020\r\n21001\t\t\xC2\xA9 x\n",
      &entries, &error))
      << error.message;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "IDS_A");
  EXPECT_EQ(entries[0].text, u"a\tb\nc\\d ");
  EXPECT_EQ(entries[1].text, u"© x");
  EXPECT_EQ(EscapeStringTableText(entries[0].text), "a\\tb\\nc\\\\d ");
}

TEST(StringTableTextTest, RefusesMalformedLinesWithTheirNumber) {
  struct Case {
    const char* text;
    int line;
  };
  for (const Case& c :
       {Case{"21000 no tabs", 1}, Case{"21000\tIDS_A", 1}, Case{"#\n2100x\t\tt", 2},
        Case{"20991\t\tt", 1}, Case{"24619\t\tt", 1}, Case{"999999\t\tt", 1},
        Case{"21000\t\ta\n21000\t\tb", 2}, Case{"21000\tIDS_A\ta\n21001\tIDS_A\tb", 2},
        Case{"21000\tlower\tt", 1}, Case{"21000\t\tends\\", 1}, Case{"21000\t\t\\u12", 1},
        Case{"21000\t\t\\u12G4", 1}, Case{"21000\t\t\\q", 1}}) {
    std::vector<StringTableEntry> entries;
    StringTableError error;
    EXPECT_FALSE(ParseStringTableText(c.text, &entries, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_FALSE(error.message.empty());
  }
}

TEST(StringTableTextTest, TranslatedTableLoadsFromAFile) {
  TempDir dir;
  {
    FILE* f = std::fopen(dir.File("strings.txt").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("21644\t\tKein Speicher.\n", f);
    std::fclose(f);
  }
  StringModule german;
  StringTableError error;
  ASSERT_OK(german.LoadFile(dir.File("strings.txt"), &error));
  EXPECT_EQ(german.Text(IDS_OUT_OF_MEMORY), u"Kein Speicher.");
  EXPECT_STATUS(E_FILE_NOT_FOUND, german.LoadFile(dir.File("missing.txt"), &error));
}

TEST(BuiltInTableTest, HoldsTheFoundationTexts) {
  const StringModule& english = StringModule::BuiltIn();
  EXPECT_EQ(english.Text(21644), u"Out of memory.");
  EXPECT_EQ(english.Text(21652), u"The current operation failed because a buffer was too small.");
  EXPECT_EQ(english.Text(22068),
            u"The new photo name is not unique.  Do you want Lumatag to propose a name that is "
            u"unique?");
  EXPECT_EQ(english.Text(22113), u"Pattern: {1}\nAn error occurred at character {2}.\n\n{3}");
  EXPECT_GT(english.Ids().size(), 600u);
}

struct SubstituteCase {
  const char16_t* templateText;
  int n;
  const char16_t* replacement;
  Status status;
  const char16_t* result;
};
class SubstituteTest : public testing::TestWithParam<SubstituteCase> {};
TEST_P(SubstituteTest, ReplacesTheFirstOccurrenceOnly) {
  const SubstituteCase& c = GetParam();
  CountedString text;
  ASSERT_OK(text.Assign(c.templateText));
  EXPECT_STATUS(c.status, SubstitutePlaceholder(text, c.n, c.replacement,
                                                CountedString::PlainLength(c.replacement)));
  EXPECT_EQ(text.View(), c.result);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, SubstituteTest,
    testing::Values(SubstituteCase{u"Could not load the file \"{1}\".", 1, u"a.jpg", S_OK,
                                   u"Could not load the file \"a.jpg\"."},
                    SubstituteCase{u"No placeholder.", 1, u"x", E_NOT_FOUND, u"No placeholder."},
                    SubstituteCase{u"{1} and {1}", 1, u"A", S_OK, u"A and {1}"},
                    SubstituteCase{u"{1}", 1, u"{1}", S_OK, u"{1}"},
                    SubstituteCase{u"x{0}y", 0, u"0", S_OK, u"x0y"},
                    SubstituteCase{u"{99}", 99, u"z", S_OK, u"z"},
                    SubstituteCase{u"{100}", 100, u"z", E_INDEX_OUT_OF_RANGE, u"{100}"},
                    SubstituteCase{u"{1}", 1, nullptr, E_INVALIDARG, u"{1}"},
                    SubstituteCase{u"<{1}>", 1, u"", S_OK, u"<>"}),
    LT_CASE_NAMES);

TEST(SubstituteTest, LaterCallsSearchTheTextAgain) {
  CountedString text;
  ASSERT_OK(text.Assign(u"{1} ({2}) : error : {3}"));
  ASSERT_OK(SubstitutePlaceholder(text, 1, u"{2}"));
  ASSERT_OK(SubstitutePlaceholder(text, 2, u"7"));
  ASSERT_OK(SubstitutePlaceholder(text, 3, u"bad"));
  EXPECT_EQ(text.View(), u"7 ({2}) : error : bad");
}

TEST(SubstituteTest, FixedTargetThatWouldOverflowIsUnchanged) {
  FixedString<8> text;
  ASSERT_OK(text.Assign(u"<{1}>"));
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, SubstitutePlaceholder(text, 1, u"toolong"));
  EXPECT_EQ(text.View(), u"<{1}>");
  ASSERT_OK(SubstitutePlaceholderEntry(text, 1, StringModule::BuiltIn(), IDS_KW_NAME));
  EXPECT_EQ(text.View(), u"<name>");
}

}  // namespace
}  // namespace lumatag
