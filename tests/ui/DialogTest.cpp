// The dialog base: the commit protocol, end codes and their messages, the activity state, the
// dialog-owned message form, placement, F1 help and tooltips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include "UiTestSupport.h"
#include "foundation/StringIds.h"
#include "support/TestSupport.h"
#include "ui/DialogBase.h"
#include "ui/DialogPlacement.h"
#include "ui/TooltipSwitch.h"

namespace lumatag::ui {
namespace {

// A dialog with an edit, OK and Cancel whose commit answers from the test.
class TestDialog : public DialogBase {
 public:
  TestDialog(UiContext& ui, QWidget* owner = nullptr) : DialogBase(ui, owner) {
    auto* layout = new QVBoxLayout(this);
    edit = new QLineEdit(this);
    ok = new QPushButton(QStringLiteral("OK"), this);
    cancel = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(edit);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetFirstFocus(edit);
    resize(300, 200);
  }

  Status initStatus = S_OK;
  Status commitStatus = S_OK;
  bool mayClose = true;
  int commits = 0;
  QLineEdit* edit;
  QPushButton* ok;
  QPushButton* cancel;

 protected:
  Status InitDialog() override { return initStatus; }
  Status Commit(bool* close) override {
    ++commits;
    *close = mayClose;
    return commitStatus;
  }
};

class DialogTest : public testing::Test {
 protected:
  UiFixture f;
};

struct CommitCase {
  Status commit;
  bool mayClose;
  bool staysOpen;
  std::vector<std::uint16_t> messages;
  Status result;  // after the OK click (and a Cancel when the dialog stays open)
  int endCode;
};

class CommitTest : public testing::TestWithParam<CommitCase> {};

TEST_P(CommitTest, OkCommitsAndEnds) {
  const CommitCase& c = GetParam();
  UiFixture f;
  TestDialog dialog(f.ui);
  dialog.commitStatus = c.commit;
  dialog.mayClose = c.mayClose;
  bool openAfterOk = false;
  ScriptedDialogRunner runner([&](DialogBase&) {
    QTest::mouseClick(dialog.ok, Qt::LeftButton);
    openAfterOk = !dialog.Ended();
  });
  int endCode = 0;
  EXPECT_STATUS(c.result, RunDialog(runner, dialog, &endCode));
  EXPECT_EQ(openAfterOk, c.staysOpen);
  EXPECT_EQ(endCode, c.endCode);
  EXPECT_EQ(dialog.commits, 1);
  std::vector<std::u16string> expected;
  for (std::uint16_t id : c.messages) expected.push_back(EntryText(id));
  EXPECT_EQ(f.Texts(), expected);
}

const CommitCase kCommitCases[] = {
    {S_OK, true, false, {}, S_OK, IDOK},
    {S_FALSE, true, false, {}, S_OK, IDOK},
    // The dialog has told the person why (or the person said No): it stays open, nothing more.
    {E_INVALID_INPUT, true, true, {}, E_CANCELLED, IDCANCEL},
    {E_CANCELLED, true, true, {}, E_CANCELLED, IDCANCEL},
    // Any other failure: 21649 while the dialog may not close, 21650 and end code -3 when it may.
    {E_OUTOFMEMORY, false, true, {IDS_DIALOG_SETTINGS_NOT_STORED}, E_CANCELLED, IDCANCEL},
    {E_FAIL, true, false, {IDS_DIALOG_SETTINGS_NOT_STORED_CANCELLED}, E_FAIL, kEndCommitFailed},
};
INSTANTIATE_TEST_SUITE_P(Paths, CommitTest, testing::ValuesIn(kCommitCases), LT_CASE_NAMES);

TEST_F(DialogTest, CancelEscapeAndCloseEndWithCancelWithoutCommitting) {
  const std::vector<std::function<void(TestDialog&)>> ways = {
      [](TestDialog& d) { QTest::mouseClick(d.cancel, Qt::LeftButton); },
      [](TestDialog& d) { QTest::keyClick(d.edit, Qt::Key_Escape); },
      [](TestDialog& d) { d.close(); },
  };
  for (const auto& way : ways) {
    TestDialog dialog(f.ui);
    ScriptedDialogRunner runner([&](DialogBase&) { way(dialog); });
    int endCode = 0;
    EXPECT_STATUS(E_CANCELLED, RunDialog(runner, dialog, &endCode));
    EXPECT_EQ(endCode, IDCANCEL);
    EXPECT_EQ(dialog.commits, 0);
  }
  EXPECT_TRUE(f.presenter.shown.empty());
}

TEST_F(DialogTest, EnterPressesTheDefaultButton) {
  TestDialog dialog(f.ui);
  ScriptedDialogRunner runner([&](DialogBase&) { QTest::keyClick(dialog.edit, Qt::Key_Return); });
  EXPECT_OK(RunDialog(runner, dialog));
  EXPECT_EQ(dialog.commits, 1);
}

TEST_F(DialogTest, FailedInitialisationShowsTheDialogCouldNotBeShown) {
  TestDialog dialog(f.ui);
  dialog.initStatus = E_OUTOFMEMORY;
  bool scriptRan = false;
  ScriptedDialogRunner runner([&](DialogBase&) { scriptRan = true; });
  int endCode = 0;
  EXPECT_STATUS(E_FAIL, RunDialog(runner, dialog, &endCode));
  EXPECT_EQ(endCode, kEndInitFailed);
  EXPECT_FALSE(scriptRan);
  EXPECT_EQ(f.Texts(), std::vector<std::u16string>{EntryText(IDS_DIALOG_NOT_SHOWN)});
  EXPECT_FALSE(f.ui.settingsChanged);  // nothing to remember of a dialog that never opened
}

// A runner that returns a given end code, for the codes a real dialog rarely produces.
class FixedRunner : public DialogRunner {
 public:
  explicit FixedRunner(int code) : code_(code) {}
  int Run(DialogBase&) override { return code_; }

 private:
  int code_;
};

TEST_F(DialogTest, EndCodesBecomeStatusesAndMessages) {
  struct Case {
    int code;
    Status status;
    bool message;
  };
  for (const Case& c :
       {Case{IDOK, S_OK, false}, Case{7, S_OK, false}, Case{IDCANCEL, E_CANCELLED, false},
        Case{0, E_FAIL, true}, Case{kEndCreateFailed, E_FAIL, true},
        Case{kEndInitFailed, E_FAIL, true}, Case{kEndCommitFailed, E_FAIL, false}}) {
    UiFixture fixture;
    TestDialog dialog(fixture.ui);
    FixedRunner runner(c.code);
    EXPECT_STATUS(c.status, RunDialog(runner, dialog)) << c.code;
    EXPECT_EQ(fixture.Texts(), c.message
                                   ? std::vector<std::u16string>{EntryText(IDS_DIALOG_NOT_SHOWN)}
                                   : std::vector<std::u16string>{})
        << c.code;
  }
}

TEST_F(DialogTest, ActivityStateIsTheDialogsWhileItRuns) {
  f.app.activityState = 1;
  for (int state : {kActivityDialog, 5}) {
    TestDialog dialog(f.ui);
    if (state != kActivityDialog) dialog.SetActivityState(state);
    int seen = -1;
    ScriptedDialogRunner runner([&](DialogBase&) { seen = f.app.activityState; });
    EXPECT_STATUS(E_CANCELLED, RunDialog(runner, dialog));
    EXPECT_EQ(seen, state);
    EXPECT_EQ(f.app.activityState, 1);
  }
}

TEST_F(DialogTest, DialogOwnedMessageDisablesTheDialogWhileTheBoxIsUp) {
  TestDialog dialog(f.ui);
  bool enabledDuringBox = true;
  f.presenter.onShow = [&] { enabledDuringBox = dialog.isEnabled(); };
  f.presenter.Answer(IDYES);
  ScriptedDialogRunner runner([&](DialogBase& d) {
    EXPECT_EQ(d.AskYesNo(IDS_CONTROLS_NOT_UPDATED), IDYES);
    EXPECT_FALSE(enabledDuringBox);
    EXPECT_TRUE(d.isEnabled());
    enabledDuringBox = true;
    (void)d.ShowErrorMessage(IDS_CONTROLS_NOT_UPDATED);
    EXPECT_FALSE(enabledDuringBox);
    EXPECT_TRUE(d.isEnabled());
    enabledDuringBox = true;
    EXPECT_EQ(d.ShowMessage(u"Ready text", MB_ICONERROR), IDOK);
    EXPECT_FALSE(enabledDuringBox);
    EXPECT_TRUE(d.isEnabled());
  });
  (void)RunDialog(runner, dialog);
  ASSERT_EQ(f.presenter.shown.size(), 3u);
  EXPECT_EQ(f.presenter.shown[2].text, u"Ready text");
  EXPECT_EQ(f.presenter.shown[2].title, u"Lumatag");
  EXPECT_EQ(f.presenter.shown[0].flags, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);
  EXPECT_EQ(f.presenter.shown[1].flags, MB_OK | MB_ICONERROR);
}

TEST_F(DialogTest, CommandFailuresAreReportedOnce) {
  struct Case {
    Status status;
    bool cancel;
    std::vector<std::uint16_t> messages;
    bool ends;
  };
  for (const Case& c :
       {Case{E_FAIL, false, {IDS_CONTROLS_NOT_UPDATED}, false}, Case{E_CANCELLED, false, {}, false},
        Case{E_INVALID_INPUT, false, {}, false}, Case{S_OK, false, {}, false},
        Case{E_FAIL, true, {IDS_CONTROLS_NOT_UPDATED_CANCELLED}, true},
        Case{E_CANCELLED, true, {}, true}, Case{S_OK, true, {}, false}}) {
    UiFixture fixture;
    TestDialog dialog(fixture.ui);
    bool ended = false;
    ScriptedDialogRunner runner([&](DialogBase& d) {
      if (c.cancel) {
        d.ReportCommandFailureAndCancel(c.status);
      } else {
        d.ReportCommandFailure(c.status);
      }
      ended = d.Ended();
    });
    int endCode = 0;
    (void)RunDialog(runner, dialog, &endCode);
    std::vector<std::u16string> expected;
    for (std::uint16_t id : c.messages) expected.push_back(EntryText(id));
    EXPECT_EQ(fixture.Texts(), expected);
    EXPECT_EQ(ended, c.ends);
    if (c.ends) {
      EXPECT_EQ(endCode, IDCANCEL);
    }
  }
}

TEST_F(DialogTest, RedrawFailureMessage) {
  (void)ReportRedrawFailure(f.app);
  EXPECT_EQ(f.Texts(), std::vector<std::u16string>{EntryText(IDS_WINDOW_NOT_REDRAWN)});
}

TEST_F(DialogTest, F1ShowsTheDialogsHelpContext) {
  std::vector<int> shown;
  f.ui.showHelp = [&](int context) { shown.push_back(context); };
  TestDialog dialog(f.ui);
  dialog.SetHelpContext(36);
  ScriptedDialogRunner runner([&](DialogBase&) {
    QTest::keyClick(dialog.edit, Qt::Key_F1);
    QTest::keyClick(&dialog, Qt::Key_F1);
  });
  (void)RunDialog(runner, dialog);
  EXPECT_EQ(shown, (std::vector<int>{36, 36}));
}

TEST_F(DialogTest, FirstControlHasTheFocus) {
  TestDialog dialog(f.ui);
  dialog.SetFirstFocus(dialog.cancel);
  ScriptedDialogRunner runner([&](DialogBase&) {
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.focusWidget(), dialog.cancel);
  });
  (void)RunDialog(runner, dialog);
}

// Placement ------------------------------------------------------------------------------------

TEST(DialogPlacementTest, OpeningRectangle) {
  const WorkArea area{0, 0, 1000, 800};
  const WindowRect main{100, 50, 600, 400};
  struct Case {
    const WindowRect* main;
    std::int32_t left, top;
    WindowRect expected;
  };
  for (const Case& c : {
           Case{&main, -1, -1, {250, 150, 300, 200}},    // centred over the main window
           Case{&main, 40, 30, {-10, -20, 300, 200}},    // on the stored centre
           Case{&main, -1, 30, {-51, -20, 300, 200}},    // one coordinate -1 is a real centre
           Case{nullptr, 40, 30, {350, 300, 300, 200}},  // no main window: the work area
       }) {
    const WindowRect r = DialogOpeningRect(300, 200, c.main, c.left, c.top, area);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.width, 300);
    EXPECT_EQ(r.height, 200);
  }
  std::int32_t left = 0;
  std::int32_t top = 0;
  DialogCentreOf({250, 150, 301, 201}, main, &left, &top);
  EXPECT_EQ(left, 300);
  EXPECT_EQ(top, 200);
}

class PlacementTest : public DialogTest {
 protected:
  void SetUp() override {
    mainWindow.setGeometry(QRect(available().topLeft() + QPoint(20, 20), QSize(400, 300)));
    mainWindow.show();
    f.ui.mainWindow = &mainWindow;
  }
  static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }
  QRect Run(std::int32_t left, std::int32_t top) {
    f.window.dialogCenterLeft = left;
    f.window.dialogCenterTop = top;
    TestDialog dialog(f.ui);
    QRect opened;
    ScriptedDialogRunner runner([&](DialogBase& d) { opened = d.frameGeometry(); });
    (void)RunDialog(runner, dialog);
    return opened;
  }
  QWidget mainWindow;
};

TEST_F(PlacementTest, WithNoStoredCentreCentredOverTheMainWindow) {
  const QRect r = Run(-1, -1);
  const QRect main = mainWindow.frameGeometry();
  EXPECT_EQ(r.left() + r.width() / 2, main.left() + main.width() / 2);
  EXPECT_EQ(r.top() + r.height() / 2, main.top() + main.height() / 2);
}

TEST_F(PlacementTest, StoredCentreIsRelativeToTheMainWindowAndRememberedOnClose) {
  const QRect r = Run(250, 200);
  const QRect main = mainWindow.frameGeometry();
  EXPECT_EQ(r.left() + r.width() / 2 - main.left(), 250);
  EXPECT_EQ(r.top() + r.height() / 2 - main.top(), 200);
  EXPECT_EQ(f.window.dialogCenterLeft, 250);
  EXPECT_EQ(f.window.dialogCenterTop, 200);
  EXPECT_TRUE(f.ui.settingsChanged);
  // The main window moved: the dialog follows it.
  mainWindow.move(mainWindow.pos() + QPoint(30, 10));
  const QRect moved = Run(250, 200);
  EXPECT_EQ(moved.topLeft(), r.topLeft() + QPoint(30, 10));
}

TEST_F(PlacementTest, CentreOffTheScreenIsFittedToTheWorkArea) {
  for (auto [left, top] : {std::pair{100000, 100000}, std::pair{-100000, 50}}) {
    const QRect r = Run(left, top);
    EXPECT_TRUE(available().contains(r)) << left << "," << top;
  }
}

TEST_F(PlacementTest, WithoutAMainWindowCentredInTheWorkArea) {
  f.ui.mainWindow = nullptr;
  const QRect r = Run(250, 200);
  EXPECT_LE(std::abs(r.left() + r.width() / 2 - (available().left() + available().width() / 2)), 1);
  EXPECT_LE(std::abs(r.top() + r.height() / 2 - (available().top() + available().height() / 2)), 1);
  EXPECT_EQ(f.window.dialogCenterLeft, 250);  // nothing to be relative to: kept
}

// Tooltips -------------------------------------------------------------------------------------

// Hides a shown tooltip at once (hiding through QToolTip waits for a timer).
void HideTips() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->inherits("QTipLabel")) w->hide();
  }
}

TEST_F(DialogTest, TooltipsFollowTheSwitch) {
  TooltipSwitch tips(true);
  f.ui.tooltips = &tips;
  TestDialog dialog(f.ui);
  dialog.SetTooltips({{dialog.edit, IDS_CONTROLS_NOT_UPDATED}});
  const std::u16string expected = EntryText(IDS_CONTROLS_NOT_UPDATED);
  EXPECT_EQ(dialog.edit->toolTip().toStdU16String(), expected);
  ScriptedDialogRunner runner([&](DialogBase&) {
    auto ask = [&] {
      HideTips();
      QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), dialog.edit->mapToGlobal(QPoint(5, 5)));
      QCoreApplication::sendEvent(dialog.edit, &event);
      return QToolTip::isVisible() ? QToolTip::text().toStdU16String() : std::u16string();
    };
    EXPECT_EQ(ask(), expected);
    tips.SetEnabled(false);
    EXPECT_EQ(ask(), u"");
    tips.SetEnabled(true);
    EXPECT_EQ(ask(), expected);
    QToolTip::hideText();
  });
  (void)RunDialog(runner, dialog);
  // A text missing from the table leaves the control's tooltip as it was.
  dialog.SetTooltips({{dialog.edit, 20992}});
  EXPECT_EQ(dialog.edit->toolTip().toStdU16String(), expected);
}

}  // namespace
}  // namespace lumatag::ui
