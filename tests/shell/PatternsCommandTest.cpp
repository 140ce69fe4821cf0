// Edit > Patterns Manager... from the main window: a pattern made entirely through the manager,
// the editor and the insert-token dialogs is applied to the window, saved to the settings, kept
// over a restart and names a photo; the current pattern stays the same pattern although the new
// one sorts before it.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <fstream>
#include <sstream>

#include "dialogs/DialogStepRunner.h"
#include "dialogs/InsertTokenDialogs.h"
#include "dialogs/PatternDialogWidgets.h"
#include "shell/PatternsCommand.h"
#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

class PatternsCommandTest : public ShellTest {
 protected:
  PatternsCommandTest() {
    dialogs_.patternsManager = [this](ShellApplication& app) {
      return RunPatternsCommand(app, runner_);
    };
  }
  std::string SettingsText() const {
    std::ifstream in(dir_.File("settings.reg"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  StepRunner runner_;
};

TEST_F(PatternsCommandTest, PatternMadeThroughTheDialogsIsAppliedSavedAndNamesAPhoto) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  QComboBox* patterns = Box(kPatternBox);
  emit patterns->activated(patterns->findText(QStringLiteral("Hash sign & 3 digits")));
  const int hashBefore = shell_->Workflow().Naming().pattern;

  runner_.Then([](ui::DialogBase& dialog) {  // the manager: Add, then Close
    auto& manager = As<PatternsManagerDialog>(dialog);
    manager.AddButton()->click();
    EXPECT_EQ(manager.List()->currentItem()->text(), QStringLiteral("A trip"));
    manager.CloseButton()->click();
  });
  runner_.Then([](ui::DialogBase& dialog) {  // the editor
    auto& editor = As<PatternEditorDialog>(dialog);
    editor.NameField()->setText(QStringLiteral("A trip"));
    QLineEdit* sequence = editor.ClauseField(PatternEditorModel::kSequence);
    sequence->selectAll();
    editor.Insert(PatternEditorDialog::kInsertName)->click();
    QTest::keyClicks(sequence, " - ");
    editor.Insert(PatternEditorDialog::kInsertNumber)->click();
    EXPECT_EQ(sequence->text(), QStringLiteral("[name] - [001]"));
    editor.accept();
  });
  runner_.Then([](ui::DialogBase& dialog) { As<InsertNameDialog>(dialog).accept(); });
  runner_.Then([](ui::DialogBase& dialog) {
    auto& insert = As<InsertNumberDialog>(dialog);
    insert.Digits()->setCurrentIndex(2);
    insert.accept();
  });
  // Another pattern is a pending change: leaving the photo for the dialog asks first.
  presenter_.Answer(IDNO);
  Window().MenuAction(kCmdPatternsManager)->trigger();
  EXPECT_TRUE(runner_.AllRan());
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_NE(presenter_.shown[0].text.find(u"before proceeding"), std::u16string::npos);

  // The new pattern sorts before the current one, which stays current all the same.
  ASSERT_NE(patterns->findText(QStringLiteral("A trip")), -1);
  EXPECT_EQ(patterns->currentText(), QStringLiteral("Hash sign & 3 digits"));
  EXPECT_EQ(shell_->Workflow().Naming().pattern, hashBefore + 1);
  // Saved at once, not at exit.
  EXPECT_NE(SettingsText().find("[name] - [001]"), std::string::npos);
  EXPECT_FALSE(shell_->SettingsChanged());

  // After a restart the pattern names a photo.
  ASSERT_TRUE(Start());
  patterns = Box(kPatternBox);
  const int trip = patterns->findText(QStringLiteral("A trip"));
  ASSERT_NE(trip, -1);
  emit patterns->activated(trip);
  QComboBox* base = Box(kBaseNameBox);
  base->lineEdit()->setFocus();
  base->lineEdit()->selectAll();
  QTest::keyClicks(base->lineEdit(), "Coast");
  NewNameBox()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(NewNameBox()->text(), QStringLiteral("Coast - 001.JPG"));
  Button(kRenameButton)->click();
  EXPECT_TRUE(FileExists("Coast - 001.JPG"));
}

TEST_F(PatternsCommandTest, ClosingTheManagerWithoutChangesSavesNothing) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  const std::string before = SettingsText();
  runner_.Then(
      [](ui::DialogBase& dialog) { As<PatternsManagerDialog>(dialog).CloseButton()->click(); });
  Window().MenuAction(kCmdPatternsManager)->trigger();
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_EQ(SettingsText(), before);
  EXPECT_EQ(Box(kPhotoBox)->count(), 1);
  EXPECT_TRUE(presenter_.shown.empty());
}

}  // namespace
}  // namespace lumatag::shell
