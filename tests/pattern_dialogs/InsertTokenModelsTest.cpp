#include "dialogs/InsertTokenModels.h"

#include <string>
#include <vector>

#include "foundation/StringIds.h"
#include "pattern_dialogs/DialogModelTestSupport.h"
#include "patterns/PatternCompiler.h"
#include "ports/TextComparer.h"

namespace lumatag {
namespace {

class InsertTokenTest : public DialogModelTest {
 protected:
  // Whether the token compiles as a pattern definition of its own.
  bool Compiles(std::u16string_view token) {
    NamingPattern pattern(context_.heap, &keywords_);
    MessageString message;
    return Succeeded(CompileDefinition(context_, &pattern, token, nullptr, &message));
  }
  const StringModule& strings_ = StringModule::BuiltIn();
};

// ------------------------------------------------------------------------------------------------
// Insert Name and Insert Character Literal

TEST_F(InsertTokenTest, NameChoicesGiveTheirSampleAndToken) {
  InsertNameModel model(strings_, sample_);
  EXPECT_EQ(model.Sample().text, u"sample");
  EXPECT_EQ(model.Accept().token, u"[name]");
  model.SetChoice(InsertNameModel::kOriginalName);
  EXPECT_EQ(model.Sample().text, u"IMG_1234");
  EXPECT_FALSE(model.Sample().error);
  EXPECT_EQ(model.Accept().token, u"[name:orig]");
}

TEST_F(InsertTokenTest, CharacterLiteralsAreTheThreeEscapes) {
  const struct {
    InsertCharacterModel::Choice choice;
    std::u16string token;
  } cases[] = {{InsertCharacterModel::kLeftBracket, u"[[]"},
               {InsertCharacterModel::kRightBracket, u"[]]"},
               {InsertCharacterModel::kSemicolon, u"[;]"}};
  for (const auto& c : cases) {
    InsertCharacterModel model(strings_);
    model.SetChoice(c.choice);
    const TokenResult result = model.Accept();
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.token, c.token);
    // Between two literal characters it stays one clause of literal text.
    EXPECT_TRUE(Compiles(u"a" + c.token + u"b")) << Utf16ToUtf8(c.token);
  }
}

// ------------------------------------------------------------------------------------------------
// Insert Number

struct NumberCase {
  InsertNumberModel::Choice choice;
  std::u16string first;
  int digits;
  std::u16string sample;
  bool error;
  std::u16string token;     // empty when OK is refused
  std::uint16_t messageId;  // the refusal's message
};

class InsertNumberTest : public InsertTokenTest, public testing::WithParamInterface<NumberCase> {};

TEST_P(InsertNumberTest, SampleTokenAndRefusal) {
  const NumberCase& c = GetParam();
  InsertNumberModel model(strings_);
  model.SetChoice(c.choice);
  model.SetFirstNumberText(c.first);
  model.SetMinimumDigits(c.digits);
  EXPECT_EQ(model.FirstNumberEnabled(), c.choice == InsertNumberModel::kAutoNumber);
  const SampleText sample = model.Sample();
  EXPECT_EQ(sample.text, c.sample);
  EXPECT_EQ(sample.error, c.error);
  const TokenResult result = model.Accept();
  EXPECT_EQ(result.accepted, !c.token.empty());
  EXPECT_EQ(result.token, c.token);
  EXPECT_EQ(result.messageId, c.messageId);
  if (!result.accepted) {
    EXPECT_EQ(result.focusControl, InsertNumberModel::kFirstNumberControl);
    EXPECT_EQ(sample.messageId, c.messageId);
  } else {
    EXPECT_TRUE(Compiles(result.token));
  }
}

const auto kAuto = InsertNumberModel::kAutoNumber;
const auto kOrig = InsertNumberModel::kOriginalNumber;

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertNumberTest,
    testing::Values(NumberCase{kAuto, u"1", 1, u"1", false, u"[1]", 0},
                    NumberCase{kAuto, u"1", 3, u"001", false, u"[001]", 0},
                    NumberCase{kAuto, u"0000", 2, u"00", false, u"[00]", 0},
                    NumberCase{kAuto, u"4294967295", 10, u"4294967295", false, u"[4294967295]", 0},
                    NumberCase{kAuto, u"12345", 2, u"12345", false, u"[12345]", 0},
                    NumberCase{kAuto, u"4294967296", 10, TableText(IDS_VALUE_OUT_OF_RANGE), true,
                               u"", IDS_VALUE_OUT_OF_RANGE},
                    NumberCase{kAuto, u"", 1, TableText(IDS_NO_VALUE), true, u"", IDS_NO_VALUE},
                    NumberCase{kAuto, u"12a", 1, TableText(IDS_VALUE_NOT_AN_INTEGER), true, u"",
                               IDS_VALUE_NOT_AN_INTEGER},
                    NumberCase{kAuto, u" 1", 1, TableText(IDS_VALUE_NOT_AN_INTEGER), true, u"",
                               IDS_VALUE_NOT_AN_INTEGER},
                    // The original number ignores the first-number field, even a broken one.
                    NumberCase{kOrig, u"oops", 3, u"1234", false, u"[001:orig]", 0},
                    NumberCase{kOrig, u"1", 1, u"1234", false, u"[1:orig]", 0},
                    NumberCase{kOrig, u"1", 7, u"0001234", false, u"[0000001:orig]", 0},
                    NumberCase{kOrig, u"1", 10, u"0000001234", false, u"[0000000001:orig]", 0}),
    LT_CASE_NAMES);

TEST_F(InsertTokenTest, MinimumDigitsStayBetweenOneAndTen) {
  InsertNumberModel model(strings_);
  model.SetMinimumDigits(0);
  EXPECT_EQ(model.MinimumDigits(), 1);
  model.SetMinimumDigits(11);
  EXPECT_EQ(model.MinimumDigits(), 10);
}

// ------------------------------------------------------------------------------------------------
// Insert Date

struct DateCase {
  InsertDateModel::Choice choice;
  std::u16string format;
  std::u16string sample;  // the text, or the message when `messageId` is set
  std::uint16_t messageId;
  std::u16string token;
};

class InsertDateTest : public InsertTokenTest, public testing::WithParamInterface<DateCase> {};

TEST_P(InsertDateTest, SampleTokenAndRefusal) {
  const DateCase& c = GetParam();
  InsertDateModel model(strings_, sample_);
  model.SetChoice(c.choice);
  model.SetFormat(c.format, static_cast<int>(c.format.size()));
  const SampleText sample = model.Sample();
  const TokenResult result = model.Accept();
  if (c.messageId != 0) {
    EXPECT_TRUE(sample.error);
    EXPECT_EQ(sample.text, TableText(c.messageId));
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.messageId, c.messageId);
    EXPECT_EQ(result.focusControl, InsertDateModel::kFormatControl);
    return;
  }
  EXPECT_FALSE(sample.error);
  EXPECT_EQ(sample.text, c.sample);
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(result.token, c.token);
  EXPECT_TRUE(Compiles(result.token));
}

const auto kTaken = InsertDateModel::kPictureTaken;
const auto kFile = InsertDateModel::kFileCreation;

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertDateTest,
    testing::Values(DateCase{kTaken, u"yyyy-MM-dd", u"2012-12-28", 0, u"[date \"yyyy-MM-dd\"]"},
                    DateCase{kFile, u"yyyy-MM-dd", u"2026-03-02", 0, u"[date:file \"yyyy-MM-dd\"]"},
                    DateCase{kTaken, u"M-d-yy H-mm-ss", u"12-28-12 12-09-32", 0,
                             u"[date \"M-d-yy H-mm-ss\"]"},
                    DateCase{kFile, u"h-mm tt", u"7-08 AM", 0, u"[date:file \"h-mm tt\"]"},
                    DateCase{kTaken, u"'Day' d", u"Day 28", 0, u"[date \"'Day' d\"]"},
                    DateCase{kTaken, u"", u"", IDS_ERR_DATE_FORMAT_EMPTY, u""},
                    DateCase{kTaken, u"yyyy/MM", u"", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER, u""},
                    DateCase{kTaken, u"H:mm", u"", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER, u""},
                    DateCase{kTaken, u"yyyy\"", u"", IDS_ERR_DATE_FORMAT_INVALID_CHARACTER, u""},
                    DateCase{kTaken, std::u16string(256, u'y'), u"",
                             IDS_ERR_DATE_FORMAT_INVALID_CHARACTER, u""},
                    DateCase{kTaken, u"'open", u"", IDS_ERR_DATE_FORMAT_INVALID, u""}),
    LT_CASE_NAMES);

TEST_F(InsertTokenTest, MonthNameGoesInAtTheCaret) {
  InsertDateModel date(strings_, sample_);
  date.SetFormat(u"yyyy-", 5);
  DatePieceModel month(strings_, kPieceMonth, date.PreviewDate(), EnglishLocale());
  EXPECT_EQ(month.Dialog().DialogId(), 1014);
  EXPECT_EQ(month.Piece(), u"M");  // the first choice at start
  month.SetChoice(2);
  EXPECT_EQ(month.Sample().text, u"December");
  const TokenResult piece = month.Accept();
  ASSERT_TRUE(piece.accepted);
  EXPECT_EQ(date.InsertPiece(piece.token), 9);
  EXPECT_EQ(date.Format(), u"yyyy-MMMM");
  EXPECT_EQ(date.Sample().text, u"2012-December");
}

TEST_F(InsertTokenTest, PieceReplacesTheSelectionOfTheFormat) {
  InsertDateModel date(strings_, sample_);
  date.SetFormat(u"dd.MM.yy", 8);
  // "yy" selected.
  EXPECT_EQ(date.InsertPiece(u"yyyy", 6, 2), 10);
  EXPECT_EQ(date.Format(), u"dd.MM.yyyy");
  date.SetCaret(0);
  EXPECT_EQ(date.InsertPiece(u"ddd "), 4);
  EXPECT_EQ(date.Format(), u"ddd dd.MM.yyyy");
  EXPECT_EQ(date.Sample().text, u"Fri 28.12.2012");
}

struct PieceCase {
  DatePieceKind kind;
  std::vector<std::u16string> pieces;
  std::vector<std::u16string> samples;  // on the picture-taken date 2012-12-28 12:09:32
};

class DatePieceTest : public InsertTokenTest, public testing::WithParamInterface<PieceCase> {};

TEST_P(DatePieceTest, EveryChoiceInsertsItsPiece) {
  const PieceCase& c = GetParam();
  DatePieceModel model(strings_, c.kind, sample_.PictureTakenDate(), EnglishLocale());
  ASSERT_EQ(model.Dialog().choiceCount, static_cast<int>(c.pieces.size()));
  EXPECT_EQ(model.Dialog().DialogId(), c.pieces.size() == 2 ? 1013 : 1014);
  for (int i = 0; i < model.Dialog().choiceCount; ++i) {
    model.SetChoice(i);
    EXPECT_EQ(model.Accept().token, c.pieces[static_cast<std::size_t>(i)]);
    EXPECT_EQ(model.Sample().text, c.samples[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(Compiles(u"[date \"" + model.Piece() + u"\"]"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DatePieceTest,
    testing::Values(
        PieceCase{kPieceYear, {u"yy", u"yyyy"}, {u"12", u"2012"}},
        PieceCase{kPieceMonth, {u"M", u"MM", u"MMMM", u"MMM"}, {u"12", u"12", u"December", u"Dec"}},
        PieceCase{kPieceDay, {u"d", u"dd"}, {u"28", u"28"}},
        PieceCase{kPieceWeekday, {u"dddd", u"ddd"}, {u"Friday", u"Fri"}},
        PieceCase{kPieceHour, {u"h", u"hh", u"H", u"HH"}, {u"12", u"12", u"12", u"12"}},
        PieceCase{kPieceMinute, {u"m", u"mm"}, {u"9", u"09"}},
        PieceCase{kPieceSeconds, {u"s", u"ss"}, {u"32", u"32"}},
        PieceCase{kPieceDesignator, {u"t", u"tt"}, {u"P", u"PM"}}),
    LT_CASE_NAMES);

// ------------------------------------------------------------------------------------------------
// Insert Metadata

struct MetadataIdCase {
  std::u16string id;
  std::u16string sample;    // the value, when the ID parses
  std::uint16_t messageId;  // else the message
};

class MetadataIdTest : public InsertTokenTest,
                       public testing::WithParamInterface<MetadataIdCase> {};

TEST_P(MetadataIdTest, SampleTokenAndRefusal) {
  const MetadataIdCase& c = GetParam();
  InsertMetadataModel model(strings_, keywords_, sample_);
  model.SetChoice(InsertMetadataModel::kById);
  EXPECT_TRUE(model.IdEnabled());
  EXPECT_FALSE(model.ListEnabled());
  model.SetIdText(c.id);
  const SampleText sample = model.Sample();
  const TokenResult result = model.Accept();
  if (c.messageId != 0) {
    EXPECT_TRUE(sample.error);
    EXPECT_EQ(sample.text, TableText(c.messageId));
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.messageId, c.messageId);
    EXPECT_EQ(result.focusControl, InsertMetadataModel::kIdControl);
    return;
  }
  EXPECT_FALSE(sample.error);
  EXPECT_EQ(sample.text, c.sample);
  ASSERT_TRUE(result.accepted);
  EXPECT_EQ(result.token, u"[metadata:" + c.id + u"]");
  EXPECT_TRUE(Compiles(result.token));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MetadataIdTest,
    testing::Values(MetadataIdCase{u"x8298", TableText(IDS_SAMPLE_COPYRIGHT), 0},
                    MetadataIdCase{u"33432", TableText(IDS_SAMPLE_COPYRIGHT), 0},
                    MetadataIdCase{u"x010f", u"NIKON", 0},
                    // Exposure mode: not in the sample photo.
                    MetadataIdCase{u"xA402", u"--", 0}, MetadataIdCase{u"65535", u"--", 0},
                    MetadataIdCase{u"x10000", u"", IDS_ERR_INTEGER_TOO_BIG_METADATA},
                    MetadataIdCase{u"65536", u"", IDS_ERR_INTEGER_TOO_BIG_METADATA},
                    MetadataIdCase{u"X8298", u"", IDS_ERR_INVALID_CHARACTER_INTEGER},
                    MetadataIdCase{u"12a", u"", IDS_ERR_INVALID_CHARACTER_INTEGER},
                    MetadataIdCase{u"xG1", u"", IDS_ERR_INVALID_CHARACTER_HEX},
                    MetadataIdCase{u"", u"", IDS_ERR_METADATA_ID_EMPTY},
                    MetadataIdCase{u"x", u"", IDS_ERR_METADATA_ID_EMPTY}),
    LT_CASE_NAMES);

TEST_F(InsertTokenTest, MetadataNamesAreSortedAndEveryOneCompiles) {
  InsertMetadataModel model(strings_, keywords_, sample_);
  ASSERT_EQ(model.NameCount(), 29);
  EXPECT_TRUE(model.ListEnabled());
  EXPECT_EQ(model.SelectedName(), 0);
  EXPECT_EQ(model.NameAt(0), u"Artist");
  EXPECT_EQ(model.Sample().text, u"Kim R. Sample");
  for (int i = 1; i < model.NameCount(); ++i) {
    EXPECT_LT(CompareInvariant(model.NameAt(i - 1), model.NameAt(i), true), 0);
  }
  for (int i = 0; i < model.NameCount(); ++i) {
    model.SelectName(i);
    const TokenResult result = model.Accept();
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(result.token, u"[metadata:" + std::u16string(model.NameAt(i)) + u"]");
    EXPECT_TRUE(Compiles(result.token)) << Utf16ToUtf8(result.token);
  }
}

TEST_F(InsertTokenTest, MetadataSampleReplacesCharactersNoFileNameHolds) {
  InsertMetadataModel model(strings_, keywords_, sample_);
  const auto select = [&model](std::u16string_view name) {
    for (int i = 0; i < model.NameCount(); ++i) {
      if (model.NameAt(i) == name) model.SelectName(i);
    }
  };
  select(u"ExposureTime");  // 10/600 renders "1/60", a fraction
  EXPECT_EQ(model.Sample().text, u"1-60");
  select(u"DateTimeOriginal");  // text: the colons become "_"
  EXPECT_EQ(model.Sample().text, u"2012_12_28 12_09_32");
  select(u"Software");  // not in the sample
  EXPECT_EQ(model.Sample().text, u"--");
}

// A translated table: its own words are what the list offers, and what it inserts compiles.
TEST_F(InsertTokenTest, MetadataNamesFollowTheKeywordTable) {
  std::string text;
  for (std::uint16_t id = 21975; id <= 22012; ++id) {
    const std::u16string word = id == 21986 ? u"Marke" : TableText(id);
    text += std::to_string(id) + "\tIDS_" + std::to_string(id) + "\t" + Utf16ToUtf8(word) + "\n";
  }
  StringModule translated;
  StringTableError error;
  ASSERT_TRUE(translated.LoadText(text, &error));
  KeywordTable keywords;
  ASSERT_OK(keywords.Build(translated));

  InsertMetadataModel model(strings_, keywords, sample_);
  int marke = -1;
  for (int i = 0; i < model.NameCount(); ++i) {
    EXPECT_NE(model.NameAt(i), u"Make");
    if (model.NameAt(i) == u"Marke") marke = i;
  }
  ASSERT_GE(marke, 0);
  model.SelectName(marke);
  EXPECT_EQ(model.Sample().text, u"NIKON");
  const TokenResult result = model.Accept();
  EXPECT_EQ(result.token, u"[metadata:Marke]");
  NamingPattern pattern(context_.heap, &keywords);
  MessageString message;
  EXPECT_OK(CompileDefinition(context_, &pattern, result.token, nullptr, &message));
}

}  // namespace
}  // namespace lumatag
