#include <vector>

#include "foundation/StringTable.h"
#include "patterns/PatternTestSupport.h"

namespace lumatag {
namespace {

std::vector<std::uint16_t> BlockOf(const CompiledPattern& compiled) {
  return std::vector<std::uint16_t>(compiled.Words(), compiled.Words() + compiled.WordCount());
}

// ------------------------------------------------------------------------------------------------
// Keyword table

TEST(KeywordTableTest, LooksUpTheTableWordsExactly) {
  KeywordTable table;
  EXPECT_EQ(table.Lookup(u"name"), kKeywordNone);  // not built yet
  ASSERT_OK(table.Build(StringModule::BuiltIn()));
  EXPECT_EQ(table.Lookup(u"name"), kKeywordName);
  EXPECT_EQ(table.Lookup(u"date"), kKeywordDate);
  EXPECT_EQ(table.Lookup(u"metadata"), kKeywordMetadata);
  EXPECT_EQ(table.Lookup(u"auto"), kKeywordAuto);
  EXPECT_EQ(table.Lookup(u"pic"), kKeywordPic);
  EXPECT_EQ(table.Lookup(u"PixelXDimension"), 11);
  EXPECT_EQ(table.Lookup(u"PhotometricInterpretation"), 39);
  EXPECT_EQ(table.Lookup(u"Name"), kKeywordNone);
  EXPECT_EQ(table.Lookup(u"name "), kKeywordNone);
  EXPECT_EQ(table.Lookup(u"Compression"), kKeywordNone);
  EXPECT_EQ(table.Lookup(u""), kKeywordNone);
  EXPECT_EQ(table.Word(kKeywordOrig), u"orig");
  EXPECT_EQ(MetadataTagForKeyword(20), 0x8298);
  EXPECT_EQ(MetadataTagForKeyword(10), 0xFFFF);
  EXPECT_EQ(MetadataTagForKeyword(39), 0x0106);
  EXPECT_EQ(KeywordForMetadataTag(0x829A), 25);
  EXPECT_EQ(KeywordForMetadataTag(0x0103), kKeywordNone);  // Compression
}

TEST(KeywordTableTest, EveryCodeRoundTripsThroughItsWord) {
  KeywordTable table;
  ASSERT_OK(table.Build(StringModule::BuiltIn()));
  for (std::uint16_t code : {1, 2, 4, 6, 7, 8, 9, 10}) {
    EXPECT_EQ(table.Lookup(table.Word(code)), code);
  }
  for (std::uint16_t code = kFirstMetadataKeyword; code <= kLastMetadataKeyword; ++code) {
    EXPECT_EQ(table.Lookup(table.Word(code)), code);
    EXPECT_EQ(KeywordForMetadataTag(MetadataTagForKeyword(code)), code);
  }
}

TEST(KeywordTableTest, FollowsTheWordsOfAnotherTable) {
  StringModule module;
  StringTableError error;
  std::string text;
  for (std::uint16_t id : StringModule::BuiltIn().Ids()) {
    std::u16string entry(StringModule::BuiltIn().Text(id));
    if (id == IDS_KW_NAME) entry = u"nom";
    text += std::to_string(id) + "\t\t" + EscapeStringTableText(entry) + "\n";
  }
  ASSERT_TRUE(module.LoadText(text, &error)) << error.message;
  KeywordTable table;
  ASSERT_OK(table.Build(module));
  EXPECT_EQ(table.Lookup(u"nom"), kKeywordName);
  EXPECT_EQ(table.Lookup(u"name"), kKeywordNone);

  StringModule empty;
  EXPECT_STATUS(E_RESOURCE_NOT_FOUND, table.Build(empty));
  EXPECT_FALSE(table.IsBuilt());
  EXPECT_EQ(table.Lookup(u"nom"), kKeywordNone);
}

// ------------------------------------------------------------------------------------------------
// Compiled layout

using PatternCompilerTest = PatternTest;

TEST_F(PatternCompilerTest, HashPatternCompilesToItsExactBlock) {
  NamingPattern pattern;
  ASSERT_OK(Compile(pattern, u"[name] #[001]"));
  EXPECT_EQ(pattern.separatorPosition, -1);
  const std::vector<std::uint16_t> expected = {
      36, 1, 22,   3,         // size, clauses, clause 1: 11 words of data, 3 tokens
      3,  0, 2,    6,         // T, token index
      1,  7,                  // name base
      0,  2, u' ', u'#',      // literal " #"
      3,  6, 1,    0,    3};  // number auto, value 1, 3 digits
  EXPECT_EQ(BlockOf(pattern.compiled), expected);
}

TEST_F(PatternCompilerTest, TwoClausePatternPutsTheSeparatorBetweenTheClauses) {
  NamingPattern pattern;
  ASSERT_OK(Compile(pattern, u"[name];[name] ([2])"));
  EXPECT_EQ(pattern.separatorPosition, 6);
  const std::vector<std::uint16_t> expected = {
      58, 2, 4, 1, 28,   4,         // size, clauses, clause table
      6,  0, 2, 3, 5,    9,    14,  // T and the token index
      1,  7,                        // clause 1: name base
      5,                            // separator
      1,  7, 0, 2, u' ', u'(', 3,  6, 2, 0, 1, 0, 1, u')'};
  EXPECT_EQ(BlockOf(pattern.compiled), expected);

  const CompiledPattern& c = pattern.compiled;
  EXPECT_EQ(c.ClauseCount(), 2);
  EXPECT_EQ(c.ClauseDataWords(0), 2);
  EXPECT_EQ(c.ClauseDataWords(1), 14);
  EXPECT_EQ(c.ClauseDataWords(2), 0);
  EXPECT_EQ(c.ClauseTokenCount(1), 4);
  EXPECT_EQ(c.ClauseTokenCount(2), 0);
  EXPECT_EQ(c.TotalTokenCount(), 6);
  EXPECT_EQ(c.TokenData() - c.Words(), 2 * 2 + 3 + 6);
  EXPECT_EQ(c.FirstTokenPosition(0, true), 0);
  EXPECT_EQ(c.FirstTokenPosition(1, false), 1);
  EXPECT_EQ(c.FirstTokenPosition(1, true), 2);
  EXPECT_EQ(c.TokenAt(1)[0], kTokenSeparator);
  EXPECT_EQ(c.TokenAt(c.FirstTokenPosition(1, true) + 2)[0], kTokenNumber);
  EXPECT_TRUE(IsWellFormedCompiledPattern(c.Words(), c.WordCount()));
}

TEST_F(PatternCompilerTest, TokensCarryTheirFields) {
  NamingPattern pattern;
  ASSERT_OK(Compile(pattern, u"[date:file \"yyyy [;]\"][4294967295:orig][metadata:x0106]"));
  const CompiledPattern& c = pattern.compiled;
  const std::uint16_t* end = c.Words() + c.WordCount();
  PatternToken token;
  ASSERT_TRUE(DecodePatternToken(c.TokenAt(0), end - c.TokenAt(0), &token));
  EXPECT_EQ(token.kind, kTokenDate);
  EXPECT_EQ(token.sub, kKeywordFile);
  EXPECT_EQ(token.text, u"yyyy [;]");  // no escapes inside a quoted picture
  EXPECT_EQ(c.TokenAt(0)[3 + 8], 0);   // the picture's terminator
  ASSERT_TRUE(DecodePatternToken(c.TokenAt(1), end - c.TokenAt(1), &token));
  EXPECT_EQ(token.kind, kTokenNumber);
  EXPECT_EQ(token.sub, kKeywordOrig);
  EXPECT_EQ(token.value, 4294967295u);
  EXPECT_EQ(token.digits, 10);
  ASSERT_TRUE(DecodePatternToken(c.TokenAt(2), end - c.TokenAt(2), &token));
  EXPECT_EQ(token.tag, 0x0106);
}

// Each built-in definition compiles to a well-formed block whose tokens spell the definition again.
TEST_F(PatternCompilerTest, BuiltInDefinitionsWalkBackToTheirTokens) {
  int count = 0;
  for (std::uint16_t id = IDS_PAT_PAREN_2ND_DEF; id <= IDS_PAT_PAREN3_EXPOSURE_DEF; id += 3) {
    const std::u16string_view definition = StringModule::BuiltIn().Text(id);
    SCOPED_TRACE(Utf16ToUtf8(definition));
    NamingPattern pattern;
    ASSERT_OK(Compile(pattern, definition));
    EXPECT_TRUE(
        IsWellFormedCompiledPattern(pattern.compiled.Words(), pattern.compiled.WordCount()));
    EXPECT_EQ(Canonical(pattern), definition);
    ++count;
  }
  EXPECT_EQ(count, 16);
}

struct CanonicalCase {
  const char16_t* definition;
  const char16_t* canonical;
  int separator;
};

class CanonicalSpellingTest : public PatternTest,
                              public testing::WithParamInterface<CanonicalCase> {};

TEST_P(CanonicalSpellingTest, CompilesToTheSameTokensAsItsCanonicalSpelling) {
  NamingPattern pattern;
  ASSERT_OK(Compile(pattern, GetParam().definition)) << Utf16ToUtf8(message_.View());
  EXPECT_EQ(Canonical(pattern), GetParam().canonical);
  EXPECT_EQ(pattern.separatorPosition, GetParam().separator);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Spellings, CanonicalSpellingTest,
    testing::Values(
        CanonicalCase{u"[name:base]", u"[name]", -1},
        CanonicalCase{u"[ name : orig ]", u"[name:orig]", -1},
        CanonicalCase{u"[date \"M-d-yy\"]", u"[date \"M-d-yy\"]", -1},
        CanonicalCase{u"[date:pic \"M\"]", u"[date \"M\"]", -1},
        CanonicalCase{u"[ date : file  \"yyyy\"]", u"[date:file \"yyyy\"]", -1},
        CanonicalCase{u"[001:auto]", u"[001]", -1},
        CanonicalCase{u"[ 0 ]", u"[0]", -1},
        CanonicalCase{u"[metadata:33432]", u"[metadata:Copyright]", -1},
        CanonicalCase{u"[metadata:x8298]", u"[metadata:Copyright]", -1},
        CanonicalCase{u"[metadata:259]", u"[metadata:259]", -1},  // Compression, by number
        CanonicalCase{u"[metadata:xffff]", u"[metadata:65535]", -1},
        CanonicalCase{u"[[]", u"[[]", -1},
        CanonicalCase{u"[]]", u"[]]", -1},
        CanonicalCase{u"x[;]y", u"x[;]y", -1},
        CanonicalCase{u" ", u" ", -1},
        CanonicalCase{u"[name:orig] [name:orig]", u"[name:orig] [name:orig]", -1},
        CanonicalCase{u"[001];[002]", u"[001];[002]", 5},
        CanonicalCase{u"[name];[name] ([7])", u"[name];[name] ([7])", 6},
        CanonicalCase{u"[1:orig] [5:orig]", u"[1:orig] [5:orig]", -1},
        CanonicalCase{u"[3] [3:orig] [3]", u"[3] [3:orig] [3]", -1},
        CanonicalCase{u"[01];[5:orig] [2]", u"[01];[5:orig] [2]", 4},
        CanonicalCase{u"[name] = {2} & co.", u"[name] = {2} & co.", -1}),
    LT_CASE_NAMES);
// clang-format on

// ------------------------------------------------------------------------------------------------
// Errors

struct ErrorCase {
  const char16_t* definition;
  std::uint16_t id;
  int position;  // 1-based, as the message shows it
};

class CompileErrorTest : public PatternTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(CompileErrorTest, ReportsTheErrorAndItsPosition) {
  NamingPattern pattern;
  CompileError error;
  EXPECT_STATUS(E_FAIL, Compile(pattern, GetParam().definition, &error));
  EXPECT_EQ(error.messageId, GetParam().id);
  EXPECT_EQ(error.index + 1, GetParam().position);
  EXPECT_TRUE(pattern.compiled.IsEmpty());
  EXPECT_TRUE(presenter_.shown.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, CompileErrorTest,
    testing::Values(
        // Lexical: the character itself, or the end of the text.
        ErrorCase{u"a:b", 22091, 2},
        ErrorCase{u"a\"b", 22091, 2},
        ErrorCase{u"ab<", 22091, 3},
        ErrorCase{u"[name|]", 22091, 6},
        ErrorCase{u"[date \"H:mm\"]", 22091, 9},
        ErrorCase{u"[date \"a/b\"]", 22091, 9},
        ErrorCase{u"[date \"M-d-yy]", 22110, 15},
        // Grammar: just after the lexeme read last.
        ErrorCase{u"[]", 22088, 3},
        ErrorCase{u"[orig]", 22088, 6},
        ErrorCase{u"[:name]", 22088, 3},
        ErrorCase{u"[Name]", 22089, 6},
        ErrorCase{u"[ ]", 22089, 3},
        ErrorCase{u"[;x]", 22091, 3},
        ErrorCase{u"[[x]", 22091, 3},
        ErrorCase{u"[\"x\"]", 22091, 5},
        ErrorCase{u"[name \"x\"]", 22091, 10},
        ErrorCase{u"[001 \"x\"]", 22091, 9},
        ErrorCase{u"[1a]", 22092, 4},
        ErrorCase{u"[4294967296]", 22096, 12},
        ErrorCase{u"[00000000001]", 22107, 13},
        ErrorCase{u"[name", 22093, 6},
        ErrorCase{u"[", 22093, 2},
        ErrorCase{u"[name;x]", 22093, 7},
        ErrorCase{u"[name:orig:base]", 22093, 12},
        ErrorCase{u"[date \"M\" ]", 22093, 11},
        ErrorCase{u"[date \"M\"\"d\"]", 22091, 13},
        ErrorCase{u"[name]]", 22094, 8},
        ErrorCase{u"]", 22094, 2},
        ErrorCase{u"[name:pic]", 22105, 10},
        ErrorCase{u"[date:orig \"M\"]", 22105, 12},
        ErrorCase{u"[001:base]", 22105, 10},
        ErrorCase{u"[name:Copyright]", 22105, 16},
        ErrorCase{u"[name:name]", 22105, 11},
        ErrorCase{u"[name: ]", 22105, 8},
        ErrorCase{u"[metadata:pic]", 22105, 14},
        ErrorCase{u"[name:]", 22106, 8},
        ErrorCase{u"[metadata:]", 22106, 12},
        ErrorCase{u"[metadata:x]", 22106, 12},
        ErrorCase{u"[metadata: ]", 22106, 12},
        ErrorCase{u"[metadata:copyright]", 22092, 20},
        ErrorCase{u"[metadata:X12]", 22092, 14},
        ErrorCase{u"[metadata:70000]", 22097, 16},
        ErrorCase{u"[metadata:x1g]", 22111, 14},
        ErrorCase{u"[metadata:x10000]", 22097, 17},
        ErrorCase{u"[metadata:x100000000]", 22097, 21},
        // Checks made at the "]": the start of the word in front of it.
        ErrorCase{u"[metadata]", 22106, 2},
        ErrorCase{u"[date]", 22108, 2},
        ErrorCase{u"[date:file]", 22108, 7},
        ErrorCase{u"[date \"\"]", 22108, 7},
        ErrorCase{u"[name] [name]", 22100, 9},
        ErrorCase{u"x[name] [ name : base ]", 22100, 17},
        ErrorCase{u"[1] [2]", 22109, 6},
        ErrorCase{u"[001];[003]", 22104, 8},
        ErrorCase{u"[4294967295];[0]", 22104, 15},
        // Separators and clauses: the start of the lexeme read last.
        ErrorCase{u"", 22101, 1},
        ErrorCase{u";x", 22101, 1},
        ErrorCase{u"[name];", 22101, 8},
        ErrorCase{u"x;y;z", 22099, 4},
        ErrorCase{u"x;;", 22099, 3}),
    LT_CASE_NAMES);
// clang-format on

TEST_F(PatternCompilerTest, IncrementRules) {
  NamingPattern pattern;
  // A first clause without an auto number leaves the second free; "orig" numbers are exempt.
  EXPECT_OK(Compile(pattern, u"[name];[name] ([2])"));
  EXPECT_OK(Compile(pattern, u"[name];[name] ([9])"));
  EXPECT_OK(Compile(pattern, u"[1:orig];[1:orig] [1]"));
  EXPECT_OK(Compile(pattern, u"[2] [2];[3] [1:orig] [3]"));
  EXPECT_OK(Compile(pattern, u"[001];[2]"));  // widths may differ, values count
  CompileError error;
  EXPECT_STATUS(E_FAIL, Compile(pattern, u"[2] [2];[3] [4]", &error));
  EXPECT_EQ(error.messageId, 22109);
  EXPECT_STATUS(E_FAIL, Compile(pattern, u"[5];[5]", &error));
  EXPECT_EQ(error.messageId, 22104);
}

TEST_F(PatternCompilerTest, SizeLimitsAreCheckedAfterThePass) {
  NamingPattern pattern;
  CompileError error;
  // 5 + 3 + 32,760 = 32,768 words: the largest block whose byte size fits its size word.
  std::u16string literal(32760, u'a');
  ASSERT_OK(Compile(pattern, literal));
  EXPECT_EQ(pattern.compiled.Words()[0], 65534);
  literal += u'a';
  EXPECT_STATUS(E_FAIL, Compile(pattern, literal, &error));
  EXPECT_EQ(error.messageId, 22103);
  EXPECT_EQ(error.index, 0);
  const std::u16string tooLong(65536, u'a');
  EXPECT_STATUS(E_FAIL, Compile(pattern, tooLong, &error));
  EXPECT_EQ(error.messageId, 22102);
}

TEST_F(PatternCompilerTest, FailedCompileKeepsTheSeparatorPositionButNoCompiledForm) {
  NamingPattern pattern;
  ASSERT_OK(Compile(pattern, u"[name];[name] ([2])"));
  EXPECT_STATUS(E_FAIL, Compile(pattern, u"x;y;z"));
  EXPECT_EQ(pattern.separatorPosition, 6);
  EXPECT_TRUE(pattern.compiled.IsEmpty());
}

TEST_F(PatternCompilerTest, MessageGoesToTheCallersString) {
  NamingPattern pattern;
  EXPECT_STATUS(E_FAIL, Compile(pattern, u"[date \"H:mm\"]"));
  EXPECT_EQ(std::u16string(message_.View()),
            u"Error: Position 9: An invalid character was found in the current context.");
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternCompilerTest, MessageIsShownWithoutACallersString) {
  NamingPattern pattern(context_.heap, &keywords_);
  EXPECT_STATUS(E_FAIL, CompileDefinition(context_, &pattern, u"[name] [name]", nullptr, nullptr));
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text,
            u"Pattern: [name] [name]\nAn error occurred at character 9.\n\n"
            u"The base name token may only be specified once per clause.");
  EXPECT_EQ(presenter_.shown[0].flags, MB_OK | MB_ICONERROR);
}

TEST_F(PatternCompilerTest, PlaceholderTextInTheDefinitionIsShownAsTyped) {
  NamingPattern pattern(context_.heap, &keywords_);
  EXPECT_STATUS(E_FAIL, CompileDefinition(context_, &pattern, u"{2}{3}<", nullptr, nullptr));
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text,
            u"Pattern: {2}{3}<\nAn error occurred at character 7.\n\n"
            u"An invalid character was found in the current context.");
}

TEST_F(PatternCompilerTest, MessageThatDoesNotFitIsNotShown) {
  NamingPattern pattern(context_.heap, &keywords_);
  const std::u16string definition = std::u16string(300, u'a') + u"]";
  EXPECT_STATUS(E_FAIL, CompileDefinition(context_, &pattern, definition, nullptr, nullptr));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternCompilerTest, MissingArgumentsAndMissingKeywordTable) {
  NamingPattern pattern;
  EXPECT_STATUS(E_INVALIDARG, CompileDefinition(context_, nullptr, u"x", nullptr, nullptr));
  EXPECT_STATUS(E_INVALIDARG,
                CompileDefinition(context_, &pattern, static_cast<const CountedString*>(nullptr),
                                  nullptr, nullptr));
  CompileError error;
  EXPECT_STATUS(E_FAIL,
                CompileDefinition(context_, &pattern, u"[name]", nullptr, &message_, &error));
  EXPECT_EQ(error.messageId, 22098);
  EXPECT_EQ(std::u16string(message_.View()),
            u"Error: Position 1: An error occurred when parsing the pattern definition.");
}

TEST_F(PatternCompilerTest, OutOfMemoryIsAParsingError) {
  PrivateHeap heap;
  NamingPattern pattern(&heap, &keywords_);
  heap.FailAllocationsAfter(0);
  CompileError error;
  EXPECT_STATUS(E_FAIL,
                CompileDefinition(context_, &pattern, u"[name]", nullptr, &message_, &error));
  heap.FailAllocationsAfter(-1);
  EXPECT_EQ(error.messageId, 22098);
  EXPECT_TRUE(pattern.compiled.IsEmpty());
}

TEST_F(PatternCompilerTest, AutomaticPatternStaysUncompiled) {
  NamingPattern pattern(context_.heap, &keywords_);
  pattern.flags = kPatternBuiltIn;
  ASSERT_OK(pattern.definition.Assign(u" "));
  ASSERT_OK(EnsureCompiled(context_, &pattern, true, nullptr, nullptr));
  EXPECT_TRUE(pattern.compiled.IsEmpty());
  bool unique = true;
  EXPECT_STATUS(E_UNEXPECTED, CanProduceUniqueNames(&pattern, &unique));
  // The same definition in a user pattern is a literal space.
  pattern.flags = 0;
  ASSERT_OK(EnsureCompiled(context_, &pattern, true, nullptr, nullptr));
  EXPECT_EQ(pattern.compiled.TotalTokenCount(), 1);
}

TEST_F(PatternCompilerTest, EnsureCompiledCompilesOnceUnlessForced) {
  NamingPattern pattern(context_.heap, &keywords_);
  ASSERT_OK(pattern.definition.Assign(u"[name] #[001]"));
  ASSERT_OK(EnsureCompiled(context_, &pattern, false, nullptr, nullptr));
  const std::uint16_t* first = pattern.compiled.Words();
  ASSERT_OK(pattern.definition.Assign(u"x;y;z"));
  EXPECT_OK(EnsureCompiled(context_, &pattern, false, nullptr, nullptr));
  EXPECT_EQ(pattern.compiled.Words(), first);
  EXPECT_STATUS(E_FAIL, EnsureCompiled(context_, &pattern, true, nullptr, &message_));
  EXPECT_TRUE(pattern.compiled.IsEmpty());
}

struct UniqueCase {
  const char16_t* definition;
  bool unique;
};

class CanProduceUniqueNamesTest : public PatternTest,
                                  public testing::WithParamInterface<UniqueCase> {};

TEST_P(CanProduceUniqueNamesTest, LooksAtTheLastClause) {
  NamingPattern pattern;
  ASSERT_OK(Compile(pattern, GetParam().definition));
  bool unique = !GetParam().unique;
  ASSERT_OK(CanProduceUniqueNames(&pattern, &unique));
  EXPECT_EQ(unique, GetParam().unique);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanProduceUniqueNamesTest,
    testing::Values(UniqueCase{u"[name] #[001]", true}, UniqueCase{u"[name];[name] ([2])", true},
                    UniqueCase{u"[name] [1:orig]", true}, UniqueCase{u"[name:orig]", true},
                    UniqueCase{u"[name]", false}, UniqueCase{u"[001];[name]", false},
                    UniqueCase{u"[date \"yyyy\"] [metadata:Make]", false}),
    LT_CASE_NAMES);

// ------------------------------------------------------------------------------------------------
// Insertion point

struct InsertionCase {
  const char16_t* definition;
  int before;
  int after;
};

class InsertionPointTest : public PatternTest, public testing::WithParamInterface<InsertionCase> {};

TEST_P(InsertionPointTest, NeverStaysInsideATokenOrEscape) {
  NamingPattern pattern;
  int point = GetParam().before;
  ASSERT_OK(Compile(pattern, GetParam().definition, nullptr, &point));
  EXPECT_EQ(point, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InsertionPointTest,
    testing::Values(InsertionCase{u"[name] #[001]", 0, 0}, InsertionCase{u"[name] #[001]", 1, 6},
                    InsertionCase{u"[name] #[001]", 6, 6}, InsertionCase{u"[name] #[001]", 7, 7},
                    InsertionCase{u"[name] #[001]", 8, 8}, InsertionCase{u"[name] #[001]", 9, 13},
                    InsertionCase{u"[name] #[001]", 40, 13}, InsertionCase{u"x[;]y", 2, 4},
                    InsertionCase{u"x[;]y", 3, 4}, InsertionCase{u"x[;]y", 4, 4},
                    InsertionCase{u"[[]", 1, 3}, InsertionCase{u"[[]", 2, 3},
                    InsertionCase{u"[]]", 1, 3}, InsertionCase{u"[]]", 2, 3},
                    InsertionCase{u"[[][]]", 4, 6}, InsertionCase{u"[[][[]", 5, 6},
                    InsertionCase{u"a;b", 2, 2}, InsertionCase{u"[name];[name] ([2])", 3, 6}),
    LT_CASE_NAMES);

// ------------------------------------------------------------------------------------------------
// Copying

TEST_F(PatternCompilerTest, CopyTakesEverythingButTheNotUsableFlag) {
  NamingPattern source(context_.heap, &keywords_);
  ASSERT_OK(source.name.Assign(u"Trip"));
  ASSERT_OK(source.storedName.Assign(u"Old trip"));
  ASSERT_OK(source.description.Assign(u"About"));
  ASSERT_OK(source.definition.Assign(u"[name];[name] ([2])"));
  ASSERT_OK(EnsureCompiled(context_, &source, true, nullptr, nullptr));
  source.flags = kPatternBuiltIn | kPatternModified | kPatternNotUsable;

  NamingPattern target;
  ASSERT_OK(target.name.Assign(u"something else"));
  ASSERT_OK(CopyPattern(source, target));
  EXPECT_EQ(target.flags, kPatternBuiltIn | kPatternModified);
  EXPECT_EQ(target.heap, source.heap);
  EXPECT_EQ(target.keywords, &keywords_);
  EXPECT_EQ(target.name.View(), u"Trip");
  EXPECT_EQ(target.storedName.View(), u"Old trip");
  EXPECT_EQ(target.description.View(), u"About");
  EXPECT_EQ(target.definition.View(), u"[name];[name] ([2])");
  EXPECT_EQ(target.separatorPosition, 6);
  EXPECT_NE(target.compiled.Words(), source.compiled.Words());
  EXPECT_EQ(BlockOf(target.compiled), BlockOf(source.compiled));
}

TEST_F(PatternCompilerTest, FailedCopyResetsTheTarget) {
  PrivateHeap heap;
  NamingPattern source(&heap, &keywords_);
  ASSERT_OK(source.name.Assign(u"Trip"));
  ASSERT_OK(source.definition.Assign(u"[name]"));
  ASSERT_OK(EnsureCompiled(context_, &source, true, nullptr, nullptr));
  NamingPattern target;
  heap.FailAllocationsAfter(2);  // the name and the definition, not the block
  EXPECT_STATUS(E_OUTOFMEMORY, CopyPattern(source, target));
  heap.FailAllocationsAfter(-1);
  EXPECT_TRUE(target.name.IsEmpty());
  EXPECT_TRUE(target.definition.IsEmpty());
  EXPECT_TRUE(target.compiled.IsEmpty());
  EXPECT_EQ(target.flags, 0u);
}

}  // namespace
}  // namespace lumatag
