#include "dialogs/PatternsManagerModel.h"

#include <string>
#include <vector>

#include "dialogs/PatternEditorModel.h"
#include "foundation/StringIds.h"
#include "pattern_dialogs/DialogModelTestSupport.h"

namespace lumatag {
namespace {

class PatternsManagerTest : public DialogModelTest {
 protected:
  std::vector<std::u16string> Lines(const PatternsManagerModel& model) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < model.LineCount(); ++i) lines.emplace_back(model.LineText(i));
    return lines;
  }
  std::u16string Selected(const PatternsManagerModel& model) {
    return std::u16string(model.LineText(model.Selection()));
  }
  int LineOf(const PatternsManagerModel& model, std::u16string_view name) {
    for (int i = 0; i < model.LineCount(); ++i) {
      if (model.LineText(i) == name) return i;
    }
    return -1;
  }

  // Editors as the person would use them.
  PatternsManagerModel::Editor Accepting(std::u16string name = u"", std::u16string sequence = u"") {
    return [this, name, sequence](const PatternCatalogue& catalogue, NamingPattern& working,
                                  bool isNew) {
      PatternEditorModel editor(context_, catalogue, sample_, working, isNew);
      if (!name.empty()) editor.SetName(name);
      if (!sequence.empty()) {
        editor.SetClauseText(PatternEditorModel::kSequence, sequence,
                             static_cast<int>(sequence.size()));
      }
      return editor.Commit([] { return true; }).accepted ? S_OK : E_INVALID_INPUT;
    };
  }
  static Status Cancelling(const PatternCatalogue&, NamingPattern&, bool) { return E_CANCELLED; }
};

TEST_F(PatternsManagerTest, OpensOnTheDefaultPattern) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.OpenStatus());
  EXPECT_EQ(model.LineCount(), 16);
  EXPECT_EQ(Selected(model), u"2 digits in parentheses");
  // Built-ins cannot be deleted.
  EXPECT_FALSE(model.CanDelete());
  ASSERT_EQ(model.Delete(), E_CANCELLED);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, TableText(IDS_ERR_BUILTIN_NOT_DELETABLE));
  EXPECT_EQ(model.LineCount(), 16);
}

TEST_F(PatternsManagerTest, NewPatternsAreNumberedAndNumbersAreReused) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.Add(Accepting()));
  EXPECT_EQ(Selected(model), u"Pattern 1");
  EXPECT_TRUE(model.CanDelete());
  ASSERT_OK(model.Add(Accepting()));
  EXPECT_EQ(Selected(model), u"Pattern 2");

  model.Select(LineOf(model, u"Pattern 1"));
  presenter_.Answer(IDYES);
  ASSERT_OK(model.Delete());
  EXPECT_EQ(LineOf(model, u"Pattern 1"), -1);
  ASSERT_OK(model.Add(Accepting()));
  EXPECT_EQ(Selected(model), u"Pattern 1");
  EXPECT_EQ(model.LineCount(), 18);
}

TEST_F(PatternsManagerTest, CancelAfterAddLeavesTheListAsItWas) {
  PatternsManagerModel model(context_, catalogue_, -1);
  const std::vector<std::u16string> before = Lines(model);
  const int selection = model.Selection();
  EXPECT_EQ(model.Add(Cancelling), E_CANCELLED);
  EXPECT_EQ(Lines(model), before);
  EXPECT_EQ(model.Selection(), selection);
  EXPECT_TRUE(presenter_.shown.empty());  // nothing asked, nothing reported
  EXPECT_EQ(model.Copy(Cancelling), E_CANCELLED);
  EXPECT_EQ(Lines(model), before);
}

TEST_F(PatternsManagerTest, DeletingTheLastLineSelectsTheNewLast) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.Add(Accepting(u"zz last")));
  ASSERT_OK(model.Add(Accepting(u"zy before last")));
  model.Select(model.LineCount() - 1);
  EXPECT_EQ(Selected(model), u"zz last");
  presenter_.Answer(IDYES);
  ASSERT_OK(model.Delete());
  EXPECT_EQ(model.Selection(), model.LineCount() - 1);
  EXPECT_EQ(Selected(model), u"zy before last");
  // A line in the middle: the line below takes its place.
  ASSERT_OK(model.Add(Accepting(u"mid")));
  const int line = model.Selection();
  presenter_.Answer(IDYES);
  ASSERT_OK(model.Delete());
  EXPECT_EQ(model.Selection(), line);
}

TEST_F(PatternsManagerTest, NoToTheQuestionKeepsThePattern) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.Add(Accepting(u"Keep me")));
  presenter_.Answer(IDNO);
  EXPECT_EQ(model.Delete(), E_CANCELLED);
  EXPECT_EQ(Selected(model), u"Keep me");
  ASSERT_FALSE(presenter_.shown.empty());
  EXPECT_EQ(presenter_.shown.back().text,
            u"Are you sure you want to delete the pattern \"Keep me\"?");
}

TEST_F(PatternsManagerTest, DeletedPatternStaysNamelessForTheSave) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.Add(Accepting(u"Gone")));
  presenter_.Answer(IDYES);
  ASSERT_OK(model.Delete());
  const PatternCatalogue& copy = model.Catalogue();
  ASSERT_EQ(copy.Count(), 17);
  EXPECT_TRUE(copy.At(16).IsDeleted());
  EXPECT_TRUE(copy.At(16).flags & kPatternModified);
  // The main window's catalogue is untouched.
  EXPECT_EQ(catalogue_.Count(), 16);
}

TEST_F(PatternsManagerTest, CopyTakesTheSelectedDefinition) {
  PatternsManagerModel model(context_, catalogue_, -1);
  model.Select(LineOf(model, u"Hash sign & 3 digits"));
  ASSERT_OK(model.Copy(Accepting(u"My hash")));
  EXPECT_EQ(Selected(model), u"My hash");
  const NamingPattern& copy = model.Catalogue().At(model.PatternIndexOf(model.Selection()));
  EXPECT_EQ(copy.definition.View(), u"[name] #[001]");
  EXPECT_FALSE(copy.IsBuiltIn());
}

TEST_F(PatternsManagerTest, ModifyReselectsTheRenamedPattern) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.Add(Accepting(u"zz mine")));
  ASSERT_OK(model.Modify(Accepting(u"aa mine", u"[name] -[01]-")));
  EXPECT_EQ(Selected(model), u"aa mine");
  // A built-in opened with Modify changes nothing.
  model.Select(LineOf(model, u"Hash sign & 2 digits"));
  ASSERT_OK(model.Modify(Accepting(u"renamed", u"[name]")));
  EXPECT_EQ(Selected(model), u"Hash sign & 2 digits");
  EXPECT_EQ(LineOf(model, u"renamed"), -1);
}

TEST_F(PatternsManagerTest, TheMainWindowsPatternIsFollowedThroughEveryChange) {
  const int current = catalogue_.Find(u"Hash sign & 3 digits");
  PatternsManagerModel model(context_, catalogue_, current);
  const auto currentName = [&model] {
    return std::u16string(model.Catalogue().At(model.CurrentPattern()).name.View());
  };
  ASSERT_OK(model.Add(Accepting(u"0 first of all")));
  EXPECT_EQ(currentName(), u"Hash sign & 3 digits");
  ASSERT_OK(model.Add(Accepting(u"zz last of all")));
  EXPECT_EQ(currentName(), u"Hash sign & 3 digits");
  // Another pattern renamed across it.
  model.Select(LineOf(model, u"0 first of all"));
  ASSERT_OK(model.Modify(Accepting(u"Timber")));
  EXPECT_EQ(currentName(), u"Hash sign & 3 digits");
  // A pattern deleted before it.
  model.Select(LineOf(model, u"2nd+ has digits in parentheses") - 1);
  ASSERT_OK(model.Add(Accepting(u"1 soon gone")));
  presenter_.Answer(IDYES);
  ASSERT_OK(model.Delete());
  EXPECT_EQ(currentName(), u"Hash sign & 3 digits");
}

TEST_F(PatternsManagerTest, CurrentUserPatternFollowsItsRenameAndGoesWithItsDeletion) {
  PatternsManagerModel model(context_, catalogue_, -1);
  ASSERT_OK(model.Add(Accepting(u"zz mine")));
  // Reopen with that pattern as the main window's current one.
  PatternsManagerModel second(context_, model.Catalogue(), model.Catalogue().Find(u"zz mine"));
  second.Select(LineOf(second, u"zz mine"));
  ASSERT_OK(second.Modify(Accepting(u"aa mine")));
  EXPECT_EQ(second.Catalogue().At(second.CurrentPattern()).name.View(), u"aa mine");
  presenter_.Answer(IDYES);
  ASSERT_OK(second.Delete());
  EXPECT_EQ(second.CurrentPattern(), -1);
}

}  // namespace
}  // namespace lumatag
