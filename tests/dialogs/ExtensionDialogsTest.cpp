// The Photo File Extension Manager and Editor models: the editor's order of cleaning and checks,
// and the manager's commands on its copy of the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/ExtensionEditorModel.h"
#include "dialogs/ExtensionManagerModel.h"
#include "foundation/StringIds.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

ExtensionList ListOf(std::initializer_list<std::u16string_view> items) {
  ExtensionList list;
  for (const std::u16string_view item : items) EXPECT_OK(list.Add(item));
  return list;
}

std::vector<std::u16string> Items(const ExtensionList& list) {
  std::vector<std::u16string> items;
  for (int i = 0; i < list.Count(); ++i) items.emplace_back(list.At(i));
  return items;
}

std::u16string Text(std::uint16_t id) {
  CountedString text;
  EXPECT_OK(LoadString(StringModule::BuiltIn(), id, text));
  return std::u16string(text.View());
}

struct EditorCase {
  std::u16string typed;
  std::u16string editing;  // the entry being edited; empty for a new one
  std::uint16_t message;   // 0: accepted
  std::u16string stored;
};

class ExtensionEditorCheckTest : public ::testing::TestWithParam<EditorCase> {};

TEST_P(ExtensionEditorCheckTest, CleansThenChecksInOrder) {
  const EditorCase& c = GetParam();
  ExtensionList list = ListOf({u"jpg", u"TIF"});
  int editing = -1;
  if (!c.editing.empty()) {
    ASSERT_TRUE(list.Find(c.editing, &editing));
  }
  CountedString extension;
  EXPECT_EQ(CheckExtensionText(c.typed, list, editing, extension), c.message);
  if (c.message == 0) {
    EXPECT_EQ(std::u16string(extension.View()), c.stored);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionEditorCheckTest,
    ::testing::Values(
        EditorCase{u".png", u"", 0, u"png"}, EditorCase{u"..png", u"", 0, u"png"},
        EditorCase{u"png \t", u"", 0, u"png"}, EditorCase{u"\u3000 png", u"", 0, u"png"},
        EditorCase{u"p ng", u"", 0, u"p ng"},
        // The blank is cut after the periods: the period is no longer first.
        EditorCase{u" .png", u"", IDS_ERR_EXTENSION_PERIOD, u""},
        EditorCase{u"pn.g", u"", IDS_ERR_EXTENSION_PERIOD, u""},
        EditorCase{u"png.", u"", IDS_ERR_EXTENSION_PERIOD, u""},
        EditorCase{u"", u"", IDS_ERR_EXTENSION_EMPTY, u""},
        EditorCase{u"  ", u"", IDS_ERR_EXTENSION_EMPTY, u""},
        EditorCase{u"...", u"", IDS_ERR_EXTENSION_EMPTY, u""},
        EditorCase{u". ", u"", IDS_ERR_EXTENSION_EMPTY, u""},
        EditorCase{u"p*g", u"", IDS_ERR_EXTENSION_INVALID_CHARACTER, u""},
        EditorCase{u"<png>", u"", IDS_ERR_EXTENSION_INVALID_CHARACTER, u""},
        // The period is checked before the characters, the characters before duplicates.
        EditorCase{u"a.b*", u"", IDS_ERR_EXTENSION_PERIOD, u""},
        EditorCase{u"jpg|", u"", IDS_ERR_EXTENSION_INVALID_CHARACTER, u""},
        EditorCase{u"jpg", u"", IDS_ERR_EXTENSION_DUPLICATE, u""},
        EditorCase{u"JPG", u"", IDS_ERR_EXTENSION_DUPLICATE, u""},
        EditorCase{u".tif ", u"", IDS_ERR_EXTENSION_DUPLICATE, u""},
        EditorCase{u"jpg", u"TIF", IDS_ERR_EXTENSION_DUPLICATE, u""},
        // The line being edited is not a duplicate of itself.
        EditorCase{u"tif", u"TIF", 0, u"tif"}, EditorCase{u"JPG", u"jpg", 0, u"JPG"}),
    LT_CASE_NAMES);

class ExtensionDialogsTest : public ::testing::Test {
 protected:
  ExtensionDialogsTest() { context.presenter = &presenter; }
  ScriptedMessagePresenter presenter;
  AppContext context;
};

TEST_F(ExtensionDialogsTest, EditorShowsTheProblemAndLeavesTheEntry) {
  ExtensionList list = ListOf({u"jpg"});
  ExtensionEditorModel editor(list, 0);
  int at = -1;
  EXPECT_STATUS(E_INVALID_INPUT, editor.Accept(context, u" .jpeg", &at));
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].text, Text(IDS_ERR_EXTENSION_PERIOD));
  EXPECT_EQ(presenter.shown[0].flags & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(Items(list), std::vector<std::u16string>{u"jpg"});
  // The editor stays open: a second try goes through.
  EXPECT_OK(editor.Accept(context, u"..jpeg", &at));
  EXPECT_EQ(Items(list), std::vector<std::u16string>{u"jpeg"});
}

TEST_F(ExtensionDialogsTest, EditedEntryMovesToItsSortedPlace) {
  ExtensionList list = ListOf({u"aaa", u"mmm", u"zzz"});
  ExtensionEditorModel editor(list, 0);
  EXPECT_EQ(editor.InitialText(), u"aaa");
  int at = -1;
  EXPECT_OK(editor.Accept(context, u"yyy", &at));
  EXPECT_EQ(at, 1);
  EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"mmm", u"yyy", u"zzz"}));
}

TEST_F(ExtensionDialogsTest, ManagerEditsACopyAndTellsWhetherItChanged) {
  const ExtensionList current = ListOf({u"jpg", u"tif"});
  ExtensionManagerModel manager(current);
  ASSERT_OK(manager.OpenStatus());
  EXPECT_EQ(manager.Selection(), 0);
  EXPECT_FALSE(manager.Changed());
  // A change of letter case only is a change (the main window compares case-sensitively).
  ExtensionEditorModel editor(manager.EditableList(), manager.Selection());
  int at = -1;
  EXPECT_OK(editor.Accept(context, u"JPG", &at));
  manager.EditAccepted(at);
  EXPECT_TRUE(manager.Changed());
  EXPECT_EQ(Items(manager.Result()), (std::vector<std::u16string>{u"JPG", u"tif"}));
  EXPECT_EQ(Items(current), (std::vector<std::u16string>{u"jpg", u"tif"}));
}

TEST_F(ExtensionDialogsTest, AddThenCancelLeavesNoEmptyEntry) {
  const ExtensionList current = ListOf({u"jpg"});
  ExtensionManagerModel manager(current);
  int index = -1;
  ASSERT_OK(manager.BeginAdd(&index));
  EXPECT_EQ(manager.At(index), u"");
  EXPECT_EQ(manager.Selection(), index);
  manager.CancelAdd();
  EXPECT_EQ(Items(manager.Result()), std::vector<std::u16string>{u"jpg"});
  EXPECT_FALSE(manager.Changed());
}

TEST_F(ExtensionDialogsTest, AddThenOkSelectsTheNewEntry) {
  const ExtensionList current = ListOf({u"jpg", u"tif"});
  ExtensionManagerModel manager(current);
  int index = -1;
  ASSERT_OK(manager.BeginAdd(&index));
  ExtensionEditorModel editor(manager.EditableList(), index);
  int at = -1;
  // The empty entry being added is skipped by the duplicate test; an existing one is not.
  EXPECT_STATUS(E_INVALID_INPUT, editor.Accept(context, u".JPG", &at));
  EXPECT_OK(editor.Accept(context, u".png", &at));
  manager.EditAccepted(at);
  EXPECT_EQ(Items(manager.Result()), (std::vector<std::u16string>{u"jpg", u"png", u"tif"}));
  EXPECT_EQ(manager.Selection(), 1);
  EXPECT_TRUE(manager.Changed());
}

TEST_F(ExtensionDialogsTest, LastExtensionCannotBeDeleted) {
  const ExtensionList current = ListOf({u"jpg"});
  ExtensionManagerModel manager(current);
  EXPECT_TRUE(manager.CanModify());
  EXPECT_FALSE(manager.CanDelete());
  EXPECT_STATUS(E_FAIL, manager.DeleteSelected(context));
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_EQ(manager.Count(), 1);
}

TEST_F(ExtensionDialogsTest, DeleteAsksAndSelectsTheLineBelowOrTheLast) {
  const ExtensionList current = ListOf({u"jpe", u"jpg", u"tif"});
  ExtensionManagerModel manager(current);
  manager.Select(1);
  presenter.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, manager.DeleteSelected(context));
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_NE(presenter.shown[0].text.find(u"\"jpg\""), std::u16string::npos);
  EXPECT_EQ(presenter.shown[0].flags & MB_DEFMASK, MB_DEFBUTTON2);
  EXPECT_EQ(manager.Count(), 3);

  presenter.Answer(IDYES);
  EXPECT_OK(manager.DeleteSelected(context));
  EXPECT_EQ(Items(manager.Result()), (std::vector<std::u16string>{u"jpe", u"tif"}));
  EXPECT_EQ(manager.Selection(), 1);  // the line below moved up
  presenter.Answer(IDYES);
  EXPECT_OK(manager.DeleteSelected(context));
  EXPECT_EQ(manager.Selection(), 0);  // the new last line
  EXPECT_FALSE(manager.CanDelete());
}

TEST_F(ExtensionDialogsTest, ResetAsksThenRestoresTheDefaults) {
  const ExtensionList current = ListOf({u"png"});
  ExtensionManagerModel manager(current);
  presenter.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, manager.Reset(context));
  EXPECT_EQ(Items(manager.Result()), std::vector<std::u16string>{u"png"});
  EXPECT_EQ(presenter.shown.at(0).text, Text(IDS_ASK_RESET_EXTENSIONS));

  presenter.Answer(IDYES);
  EXPECT_OK(manager.Reset(context));
  EXPECT_EQ(Items(manager.Result()), (std::vector<std::u16string>{u"JPE", u"JPG", u"TIF"}));
  EXPECT_EQ(manager.Selection(), 0);
  EXPECT_TRUE(manager.Changed());

  // Resetting the default list changes nothing the main window would see.
  ExtensionList defaults;
  ASSERT_OK(defaults.SetDefaults(StringModule::BuiltIn()));
  ExtensionManagerModel again(defaults);
  presenter.Answer(IDYES);
  EXPECT_OK(again.Reset(context));
  EXPECT_FALSE(again.Changed());
}

}  // namespace
}  // namespace lumatag
