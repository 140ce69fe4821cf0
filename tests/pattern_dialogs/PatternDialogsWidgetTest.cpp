#include <QTest>
#include <functional>
#include <vector>

#include "dialogs/DialogStepRunner.h"
#include "dialogs/InsertTokenDialogs.h"
#include "dialogs/PatternDialogWidgets.h"
#include "dialogs/PatternDialogs.h"
#include "foundation/StringIds.h"
#include "pattern_dialogs/DialogModelTestSupport.h"
#include "patterns/NameGenerator.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "ports/SettingsStore.h"
#include "ui/QtText.h"

namespace lumatag {
namespace {

using ui::ToQString;
using ui::ToU16;

class PatternDialogsWidgetTest : public DialogModelTest {
 protected:
  PatternDialogsWidgetTest() { host_.openedAt = kOpenedAt; }

  WindowSettings window_;
  ui::UiContext ui_{context_, window_};
  StepRunner runner_;
  PatternDialogsHost host_{ui_, runner_, keywords_, {}};
};

// A pattern made entirely through the dialogs is handed back, saved to the settings and names a
// photo after loading.
TEST_F(PatternDialogsWidgetTest, PatternMadeThroughTheDialogsIsSavedAndNamesAPhoto) {
  runner_.Then([](ui::DialogBase& dialog) {  // the manager: Add, then Close
    auto& manager = As<PatternsManagerDialog>(dialog);
    EXPECT_EQ(manager.List()->currentItem()->text(), "2 digits in parentheses");
    EXPECT_FALSE(manager.DeleteButton()->isEnabled());
    manager.AddButton()->click();
    EXPECT_EQ(manager.List()->currentItem()->text(), "Trip pattern");
    EXPECT_TRUE(manager.DeleteButton()->isEnabled());
    manager.CloseButton()->click();
  });
  runner_.Then([](ui::DialogBase& dialog) {  // the editor on "Pattern 1"
    auto& editor = As<PatternEditorDialog>(dialog);
    EXPECT_EQ(editor.NameField()->text(), "Pattern 1");
    editor.NameField()->setText("Trip pattern");
    QLineEdit* sequence = editor.ClauseField(PatternEditorModel::kSequence);
    sequence->selectAll();  // "_" is replaced by the name token
    editor.Insert(PatternEditorDialog::kInsertName)->click();
    EXPECT_EQ(sequence->text(), "[name]");
    EXPECT_EQ(editor.Sample(PatternEditorModel::kSequence)->text(), "sample");
    QTest::keyClicks(sequence, " #");
    editor.Insert(PatternEditorDialog::kInsertNumber)->click();
    EXPECT_EQ(sequence->text(), "[name] #[001]");
    EXPECT_EQ(editor.Sample(PatternEditorModel::kSequence)->text(), "sample #001");
    EXPECT_FALSE(editor.Sample(PatternEditorModel::kSequence)->ErrorStyle());
    editor.accept();
  });
  runner_.Then([](ui::DialogBase& dialog) {  // Insert Name: the base name
    auto& insert = As<InsertNameDialog>(dialog);
    EXPECT_EQ(insert.SampleArea()->text(), "sample");
    insert.accept();
  });
  runner_.Then([](ui::DialogBase& dialog) {  // Insert Number: 3 digits
    auto& insert = As<InsertNumberDialog>(dialog);
    insert.Digits()->setCurrentIndex(2);
    EXPECT_EQ(insert.SampleArea()->text(), "001");
    insert.accept();
  });

  PatternCatalogue edited;
  int current = -1;
  ASSERT_OK(
      RunPatternsManager(host_, nullptr, catalogue_, catalogue_.DefaultIndex(), &edited, &current));
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_TRUE(presenter_.shown.empty());
  ASSERT_GE(current, 0);
  EXPECT_EQ(edited.At(current).name.View(), u"2 digits in parentheses");
  const int index = edited.Find(u"Trip pattern");
  ASSERT_GE(index, 0);
  EXPECT_EQ(edited.At(index).definition.View(), u"[name] #[001]");

  // Saved, loaded back into a fresh catalogue, and used.
  MemoryRegistryStore registry;
  SettingsStore store(registry);
  SettingsKey main;
  SettingsKey patterns;
  ASSERT_OK(store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
  ASSERT_OK(store.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns));
  ASSERT_OK(edited.SaveToSettings(store, patterns));
  PatternCatalogue loaded;
  ASSERT_OK(loaded.BuildBuiltIns(context_, &keywords_));
  ASSERT_OK(loaded.BuildAutomaticList(context_));
  bool changed = false;
  ASSERT_OK(loaded.LoadFromSettings(store, patterns, context_, &changed));
  const int found = loaded.Find(u"Trip pattern");
  ASSERT_GE(found, 0);

  PhotoFacts photo;
  InitPhotoFacts(&photo);
  ASSERT_OK(SetupPhotoFacts(&photo, context_.heap, u"IMG_0042.JPG", kOpenedAt, 0, 0));
  CountedString base;
  ASSERT_OK(base.Assign(u"Trip"));
  CountedString name;
  NamingEnvironment environment;
  ASSERT_OK(GenerateName(environment, &loaded.At(found), &photo, &base, false, 7, &name));
  EXPECT_EQ(name.View(), u"Trip #007");
  ClearPhotoFacts(&photo);
}

TEST_F(PatternDialogsWidgetTest, BuiltInIsShownReadOnlyAndAddedPatternIsDeletedAgain) {
  runner_.Then([](ui::DialogBase& dialog) {
    auto& manager = As<PatternsManagerDialog>(dialog);
    manager.ModifyButton()->click();  // the default pattern, a built-in
    manager.AddButton()->click();     // cancelled in the editor: the list stays
    EXPECT_EQ(manager.List()->count(), 16);
    manager.AddButton()->click();
    EXPECT_EQ(manager.List()->count(), 17);
    manager.DeleteButton()->click();  // answered Yes
    EXPECT_EQ(manager.List()->count(), 16);
    EXPECT_EQ(manager.List()->currentRow(), manager.List()->count() - 1);
    EXPECT_TRUE(manager.isEnabled());
  });
  runner_.Then([](ui::DialogBase& dialog) {
    auto& editor = As<PatternEditorDialog>(dialog);
    EXPECT_EQ(editor.ClauseField(PatternEditorModel::kSequence)->text(), "[name] ([01])");
    EXPECT_EQ(editor.Sample(PatternEditorModel::kSequence)->text(), "sample (01)");
    EXPECT_FALSE(editor.NameField()->isEnabled());
    EXPECT_FALSE(editor.ClauseField(PatternEditorModel::kSequence)->isEnabled());
    EXPECT_FALSE(editor.UseFirst()->isEnabled());
    EXPECT_TRUE(editor.DescriptionField()->isReadOnly());
    EXPECT_FALSE(editor.Insert(PatternEditorDialog::kInsertName)->isEnabled());
    editor.accept();
  });
  runner_.Then([](ui::DialogBase& dialog) { As<PatternEditorDialog>(dialog).reject(); });
  runner_.Then([](ui::DialogBase& dialog) {
    auto& editor = As<PatternEditorDialog>(dialog);
    editor.NameField()->setText("zz mine");
    editor.ClauseField(PatternEditorModel::kSequence)->setText("[name] [1]");
    editor.accept();
  });
  presenter_.Answer(IDYES);

  PatternCatalogue edited;
  ASSERT_OK(RunPatternsManager(host_, nullptr, catalogue_, -1, &edited, nullptr));
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_EQ(edited.Find(u"zz mine"), -1);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, u"Are you sure you want to delete the pattern \"zz mine\"?");
}

TEST_F(PatternDialogsWidgetTest, EditorRefusesOkWithTheMessageAndFocus) {
  NamingPattern working;
  ASSERT_OK(CopyPattern(catalogue_.At(catalogue_.Find(u"Hash sign & 3 digits")), working));
  working.flags &= ~kPatternBuiltIn;
  PatternEditorDialog editor(host_, nullptr, catalogue_, sample_, working, false);
  ASSERT_TRUE(editor.Start());
  editor.show();
  QLineEdit* sequence = editor.ClauseField(PatternEditorModel::kSequence);
  sequence->setText("[name");
  EXPECT_TRUE(editor.Sample(PatternEditorModel::kSequence)->ErrorStyle());
  editor.NameField()->setText("2 DIGITS in parentheses");
  editor.accept();
  EXPECT_FALSE(editor.Ended());
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, TableText(IDS_ERR_PATTERN_NAME_NOT_UNIQUE));
  EXPECT_EQ(editor.focusWidget(), editor.NameField());
  editor.NameField()->setText("Fine");
  editor.accept();
  ASSERT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(presenter_.shown[1].text, TableText(IDS_ERR_PATTERN_INVALID_DEFINITION));
  EXPECT_EQ(editor.focusWidget(), sequence);
  EXPECT_EQ(sequence->selectedText(), "[name");
  sequence->setText("[name] ([01])");
  editor.accept();
  EXPECT_TRUE(editor.Ended());
  EXPECT_EQ(working.definition.View(), u"[name] ([01])");
}

TEST_F(PatternDialogsWidgetTest, InsertDateBuildsItsFormatThroughThePieceDialogs) {
  runner_.Then([](ui::DialogBase& dialog) {
    auto& piece = As<DatePieceWidget>(dialog);
    piece.Radio(2)->setChecked(true);  // month name, of the date Insert Date previews
    EXPECT_EQ(piece.SampleArea()->text(), "March");
    piece.accept();
  });
  InsertDateDialog date(ui_, nullptr, runner_, sample_);
  ASSERT_TRUE(date.Start());
  date.show();
  date.Radio(1)->setChecked(true);
  date.Format()->setText("yyyy-");
  date.Format()->setCursorPosition(5);
  date.PieceButton(kPieceMonth)->click();
  EXPECT_EQ(date.Format()->text(), "yyyy-MMMM");
  EXPECT_EQ(date.Format()->cursorPosition(), 9);
  EXPECT_EQ(date.Marker()->Position(), 9);
  date.Format()->setText("yyyy/MM");
  EXPECT_TRUE(date.SampleArea()->ErrorStyle());
  date.accept();
  EXPECT_FALSE(date.Ended());
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, TableText(IDS_ERR_DATE_FORMAT_INVALID_CHARACTER));
  date.Format()->setText("yyyy-MM-dd");
  date.accept();
  EXPECT_TRUE(date.Ended());
  EXPECT_EQ(date.Token(), u"[date:file \"yyyy-MM-dd\"]");
}

TEST_F(PatternDialogsWidgetTest, InsertMetadataAndCharacterTokens) {
  InsertMetadataDialog metadata(ui_, nullptr, keywords_, sample_);
  ASSERT_TRUE(metadata.Start());
  EXPECT_FALSE(metadata.Id()->isEnabled());
  metadata.Radio(1)->setChecked(true);
  EXPECT_FALSE(metadata.Names()->isEnabled());
  metadata.Id()->setText("X8298");
  metadata.accept();
  EXPECT_FALSE(metadata.Ended());
  metadata.Id()->setText("x8298");
  metadata.accept();
  EXPECT_EQ(metadata.Token(), u"[metadata:x8298]");

  InsertCharacterDialog character(ui_, nullptr);
  ASSERT_TRUE(character.Start());
  character.Radio(2)->setChecked(true);
  character.accept();
  EXPECT_EQ(character.Token(), u"[;]");
}

}  // namespace
}  // namespace lumatag
