#include "dialogs/PatternEditorModel.h"

#include <string>

#include "foundation/StringIds.h"
#include "pattern_dialogs/DialogModelTestSupport.h"

namespace lumatag {
namespace {

using Clause = PatternEditorModel::Clause;
constexpr Clause kSequence = PatternEditorModel::kSequence;
constexpr Clause kFirst = PatternEditorModel::kFirst;

class PatternEditorTest : public DialogModelTest {
 protected:
  // A new user pattern "Pattern 1" with definition `definition`, in the catalogue, and the working
  // copy the editor opens on.
  void AddUserPattern(std::u16string_view name, std::u16string_view definition) {
    NamingPattern pattern(context_.heap, &keywords_);
    ASSERT_OK(pattern.name.Assign(name));
    MessageString message;
    ASSERT_OK(CompileDefinition(context_, &pattern, definition, nullptr, &message));
    ASSERT_OK(pattern.definition.Assign(definition));
    ASSERT_OK(catalogue_.Insert(std::move(pattern)));
  }
  void Open(std::u16string_view name) {
    const int index = catalogue_.Find(name);
    ASSERT_GE(index, 0);
    ASSERT_OK(CopyPattern(catalogue_.At(index), working_));
  }
  static bool Yes() { return true; }
  static bool No() { return false; }

  NamingPattern working_;
};

TEST_F(PatternEditorTest, UnfinishedTokenShowsTheParserMessageUntilCompleted) {
  AddUserPattern(u"Mine", u"_");
  Open(u"Mine");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  EXPECT_EQ(editor.Sample(kSequence).text, u"_");

  editor.SetClauseText(kSequence, u"[name", 5);
  EXPECT_FALSE(editor.ClauseValid(kSequence));
  EXPECT_TRUE(editor.Sample(kSequence).error);
  EXPECT_EQ(editor.Sample(kSequence).text,
            u"Error: Position 6: " + TableText(IDS_ERR_RIGHT_BRACKET_EXPECTED));

  editor.SetClauseText(kSequence, u"[name]", 6);
  EXPECT_TRUE(editor.ClauseValid(kSequence));
  EXPECT_FALSE(editor.Sample(kSequence).error);
  EXPECT_EQ(editor.Sample(kSequence).text, u"sample");
}

TEST_F(PatternEditorTest, SamplesOfBothClauses) {
  AddUserPattern(u"Mine", u"_");
  Open(u"Mine");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  const struct {
    std::u16string text;
    std::u16string sample;
  } cases[] = {
      {u"[name] #[001]", u"sample #001"},
      {u"[name] ([2])", u"sample (2)"},
      {u"[name:orig]", u"IMG_1234"},
      // The preview number, not the one in the sample's name.
      {u"[1:orig]", u"2134"},
      {u"[date \"yyyy-MM-dd\"] [metadata:Model]", u"2012-12-28 NIKON D7000"},
      {u"[date:file \"yyyy\"]", u"2026"},
      {u"[metadata:ExposureTime]", u"1-60"},
      {u"  x  ", u"x"},
  };
  for (const auto& c : cases) {
    editor.SetClauseText(kSequence, c.text, 0);
    EXPECT_EQ(editor.Sample(kSequence).text, c.sample) << Utf16ToUtf8(c.text);
    EXPECT_FALSE(editor.Sample(kSequence).error);
  }
}

TEST_F(PatternEditorTest, TheEditorIsTheOpenDialogWhileItLives) {
  AddUserPattern(u"Mine", u"_");
  Open(u"Mine");
  {
    PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
    EXPECT_EQ(context_.openDialog, kDialogPatternEditor);
  }
  EXPECT_EQ(context_.openDialog, kDialogNone);
}

TEST_F(PatternEditorTest, DefinitionIsSplitAtItsSeparator) {
  AddUserPattern(u"Mine", u"[name];[name] ([2])");
  Open(u"Mine");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  EXPECT_TRUE(editor.UseFirstClause());
  EXPECT_EQ(editor.ClauseText(kFirst), u"[name]");
  EXPECT_EQ(editor.ClauseText(kSequence), u"[name] ([2])");
  EXPECT_EQ(editor.Sample(kFirst).text, u"sample");
  EXPECT_EQ(editor.Sample(kSequence).text, u"sample (2)");

  editor.SetUseFirstClause(false);
  EXPECT_FALSE(editor.FirstClauseEnabled());
  EXPECT_EQ(editor.Sample(kFirst).text, u"");
  ASSERT_TRUE(editor.Commit(No).accepted);
  EXPECT_EQ(working_.definition.View(), u"[name] ([2])");
  EXPECT_EQ(working_.separatorPosition, -1);
}

TEST_F(PatternEditorTest, FirstClauseAndSequenceAreStoredAsOneDefinition) {
  ASSERT_OK(catalogue_.AddPattern(context_, nullptr));
  Open(u"Pattern 1");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, true);
  editor.SetClauseText(kSequence, u"[name] #[001]", 13);
  editor.SetUseFirstClause(true);
  EXPECT_TRUE(editor.Sample(kFirst).error);  // an empty clause
  editor.SetClauseText(kFirst, u"[name]", 6);
  const PatternEditorModel::CommitResult result = editor.Commit(No);
  ASSERT_TRUE(result.accepted);
  EXPECT_EQ(working_.definition.View(), u"[name];[name] #[001]");
  EXPECT_EQ(working_.separatorPosition, 6);
  EXPECT_FALSE(working_.compiled.IsEmpty());
  EXPECT_TRUE(working_.flags & kPatternModified);
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternEditorTest, InsertionReplacesTheSelection) {
  AddUserPattern(u"Mine", u"abc def");
  Open(u"Mine");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  EXPECT_EQ(editor.InsertToken(u"[name]", 4, 3), 10);
  EXPECT_EQ(editor.ClauseText(kSequence), u"abc [name]");
  EXPECT_EQ(editor.Sample(kSequence).text, u"abc sample");
}

TEST_F(PatternEditorTest, InsertionPointNeverFallsInsideAToken) {
  AddUserPattern(u"Mine", u"[name] x");
  Open(u"Mine");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  EXPECT_EQ(editor.InsertionPosition(kSequence), 8);  // the caret starts at the end
  editor.SetCaret(kSequence, 2);
  EXPECT_EQ(editor.InsertionPosition(kSequence), 6);
  EXPECT_EQ(editor.InsertToken(u"[001]"), 11);
  EXPECT_EQ(editor.ClauseText(kSequence), u"[name][001] x");
  // Into the first-photo field once it had the focus.
  editor.SetUseFirstClause(true);
  editor.SetTarget(kFirst);
  EXPECT_EQ(editor.InsertToken(u"[name]"), 6);
  EXPECT_EQ(editor.ClauseText(kFirst), u"[name]");
}

struct CommitCase {
  std::u16string name;
  std::u16string sequence;
  bool useFirst;
  std::u16string first;
  bool confirm;  // the answer to "may not produce unique names"
  bool accepted;
  std::uint16_t messageId;
  int focus;
};

class CommitTest : public PatternEditorTest, public testing::WithParamInterface<CommitCase> {};

TEST_P(CommitTest, ChecksInTheirOrder) {
  const CommitCase& c = GetParam();
  AddUserPattern(u"Mine", u"[name] [001]");
  Open(u"Mine");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  editor.SetName(c.name);
  editor.SetClauseText(kSequence, c.sequence, 0);
  editor.SetUseFirstClause(c.useFirst);
  if (c.useFirst) editor.SetClauseText(kFirst, c.first, 0);
  int asked = 0;
  const PatternEditorModel::CommitResult result = editor.Commit([&] {
    ++asked;
    return c.confirm;
  });
  EXPECT_EQ(result.accepted, c.accepted);
  EXPECT_EQ(result.messageId, c.messageId);
  EXPECT_EQ(result.focusControl, c.focus);
  if (result.accepted) {
    std::u16string name = c.name;
    while (!name.empty() && name.back() == u' ') name.pop_back();
    EXPECT_EQ(working_.name.View(), name);
  } else {
    EXPECT_EQ(working_.name.View(), u"Mine");  // nothing taken over
  }
}

const std::u16string k48(48, u'n');
const std::u16string k49(49, u'n');
constexpr int kName = PatternEditorModel::kNameControl;
constexpr int kSeq = PatternEditorModel::kSequenceControl;
constexpr int kFirstField = PatternEditorModel::kFirstControl;

INSTANTIATE_TEST_SUITE_P(
    Cases, CommitTest,
    testing::Values(
        CommitCase{u"Renamed", u"[name] [001]", false, u"", false, true, 0, 0},
        CommitCase{u"", u"[name] [001]", false, u"", false, false, IDS_ERR_PATTERN_NO_NAME, kName},
        CommitCase{u"   ", u"[name] [001]", false, u"", false, false, IDS_ERR_PATTERN_NO_NAME,
                   kName},
        CommitCase{u"Trailing  ", u"[name] [001]", false, u"", false, true, 0, 0},
        CommitCase{k48, u"[name] [001]", false, u"", false, true, 0, 0},
        CommitCase{k49, u"[name] [001]", false, u"", false, false, IDS_ERR_PATTERN_NAME_TOO_LONG,
                   kName},
        // Another pattern's name in other letter case; its own name in other case is fine.
        CommitCase{u"hash SIGN & 3 digits", u"[name] [001]", false, u"", false, false,
                   IDS_ERR_PATTERN_NAME_NOT_UNIQUE, kName},
        CommitCase{u"MINE", u"[name] [001]", false, u"", false, true, 0, 0},
        // The name is checked before the definition.
        CommitCase{u"", u"[name", false, u"", false, false, IDS_ERR_PATTERN_NO_NAME, kName},
        CommitCase{u"Mine", u"[name", false, u"", false, false, IDS_ERR_PATTERN_INVALID_DEFINITION,
                   kSeq},
        CommitCase{u"Mine", u"[name] [001]", true, u"[nam", false, false,
                   IDS_ERR_PATTERN_INVALID_DEFINITION, kFirstField},
        CommitCase{u"Mine", u"[name", true, u"[nam", false, false,
                   IDS_ERR_PATTERN_INVALID_DEFINITION, kSeq},
        CommitCase{u"Mine", u"[003]", true, u"[001]", false, false, IDS_ERR_SECOND_CLAUSE_INCREMENT,
                   kSeq},
        CommitCase{u"Mine", u"[002]", true, u"[001]", false, true, 0, 0},
        // No number in the sequence clause: asked, and No keeps the editor open.
        CommitCase{u"Mine", u"[name]", false, u"", false, false, 0, kSeq},
        CommitCase{u"Mine", u"[name]", false, u"", true, true, 0, 0},
        CommitCase{u"Mine", u"[name:orig]", false, u"", false, true, 0, 0}),
    LT_CASE_NAMES);

TEST_F(PatternEditorTest, BuiltInPatternIsOnlyShown) {
  Open(u"Hash sign & 3 digits");
  PatternEditorModel editor(context_, catalogue_, sample_, working_, false);
  EXPECT_TRUE(editor.ReadOnly());
  EXPECT_EQ(editor.ClauseText(kSequence), u"[name] #[001]");
  EXPECT_EQ(editor.Sample(kSequence).text, u"sample #001");
  editor.SetClauseText(kSequence, u"[name", 5);
  editor.SetUseFirstClause(true);
  editor.InsertToken(u"[name]");
  EXPECT_EQ(editor.ClauseText(kSequence), u"[name] #[001]");
  EXPECT_FALSE(editor.UseFirstClause());
  editor.SetName(u"");
  EXPECT_TRUE(editor.Commit(No).accepted);
  EXPECT_EQ(working_.name.View(), u"Hash sign & 3 digits");
}

}  // namespace
}  // namespace lumatag
