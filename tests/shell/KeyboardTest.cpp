// The accelerator table against menu mnemonics, Ctrl+A, disabled controls, F1 and Alt+F4.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QWhatsThis>
#include <filesystem>
#include <fstream>

#include "shell/KeyboardRouter.h"
#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

using KeyboardTest = ShellTest;

TEST(AcceleratorTable, KeysGiveTheirCommands) {
  struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    int command;
  };
  const Case cases[] = {
      {Qt::Key_F, Qt::AltModifier, kCmdActivateBase + kFolderButton},
      {Qt::Key_S, Qt::AltModifier, kCmdActivateBase + kFirstButton},
      {Qt::Key_P, Qt::AltModifier, kCmdActivateBase + kPreviousButton},
      {Qt::Key_X, Qt::AltModifier, kCmdActivateBase + kNextButton},
      {Qt::Key_L, Qt::AltModifier, kCmdActivateBase + kLastButton},
      {Qt::Key_D, Qt::AltModifier, kCmdActivateBase + kDeleteButton},
      {Qt::Key_H, Qt::AltModifier, kCmdActivateBase + kPhotoBox},
      {Qt::Key_N, Qt::AltModifier, kCmdActivateBase + kNavigationBox},
      {Qt::Key_T, Qt::AltModifier, kCmdActivateBase + kPatternBox},
      {Qt::Key_B, Qt::AltModifier, kCmdActivateBase + kBaseNameBox},
      {Qt::Key_W, Qt::AltModifier, kCmdActivateBase + kNewNameBox},
      {Qt::Key_R, Qt::AltModifier, kCmdActivateBase + kRenameButton},
      {Qt::Key_A, Qt::AltModifier, kCmdActivateBase + kRenameRemainingButton},
      {Qt::Key_F4, Qt::AltModifier, kCmdExit},
      {Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier, kCmdAbout},
      {Qt::Key_Slash, Qt::AltModifier, kCmdAbout},
      {Qt::Key_A, Qt::ControlModifier, kCmdSelectAll},
      {Qt::Key_Z, Qt::ControlModifier, kCmdUndoRename},
      {Qt::Key_Z, Qt::AltModifier, 0},
      {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, kCmdSelectAll},
      {Qt::Key_F1, Qt::NoModifier, kCmdHelp},
      // Not accelerators.
      {Qt::Key_E, Qt::AltModifier, 0},
      {Qt::Key_F, Qt::ControlModifier | Qt::AltModifier, 0},
      {Qt::Key_A, Qt::NoModifier, 0},
      {Qt::Key_R, Qt::ShiftModifier | Qt::AltModifier, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AcceleratorCommand(c.key, c.modifiers), c.command) << c.key;
  }
}

TEST_F(KeyboardTest, AltFIsTheFolderButtonNotTheFileMenu) {
  ASSERT_TRUE(Start());
  QTest::keyClick(NewNameBox(), Qt::Key_F, Qt::AltModifier);
  EXPECT_EQ(chooser_.starts.size(), 1u);
  EXPECT_EQ(Window().menuBar()->activeAction(), nullptr);
}

TEST_F(KeyboardTest, AltHFocusesThePhotoBox) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  NewNameBox()->setFocus();
  QTest::keyClick(NewNameBox(), Qt::Key_H, Qt::AltModifier);
  EXPECT_TRUE(Control(kPhotoBox)->hasFocus());
}

TEST_F(KeyboardTest, AltROnADisabledRenameDoesNothing) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  ASSERT_FALSE(Control(kRenameButton)->isEnabled());
  NewNameBox()->setFocus();
  QTest::keyClick(NewNameBox(), Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(FileExists("IMG_0001.JPG"));
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_TRUE(NewNameBox()->hasFocus());
}

TEST_F(KeyboardTest, AltRRenamesWhenEnabled) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  NewNameBox()->setFocus();
  NewNameBox()->selectAll();  // the box holds the default pattern's proposal
  QTest::keyClicks(NewNameBox(), "Quay.JPG");
  QTest::keyClick(NewNameBox(), Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(FileExists("Quay.JPG"));
}

TEST_F(KeyboardTest, CtrlAOnTheRenameButtonSoundsAndChangesNothing) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  NewNameBox()->setFocus();
  NewNameBox()->selectAll();  // the box holds the default pattern's proposal
  QTest::keyClicks(NewNameBox(), "Typed.JPG");
  QAbstractButton* rename = Button(kRenameButton);
  rename->setFocus();
  ASSERT_TRUE(rename->hasFocus());
  QTest::keyClick(rename, Qt::Key_A, Qt::ControlModifier);
  ASSERT_EQ(sounds_.played.size(), 1u);
  EXPECT_EQ(sounds_.played[0].sound, SystemSound::kQuestion);
  EXPECT_FALSE(sounds_.played[0].wait);
  EXPECT_EQ(NewNameBox()->text(), QStringLiteral("Typed.JPG"));
  EXPECT_TRUE(rename->hasFocus());
  EXPECT_TRUE(FileExists("IMG_0001.JPG"));
}

// Ctrl+Z in the new-name box takes back typing; with nothing typed and nothing renamed (no rename
// journal here) it does nothing, and the Undo Rename item stays disabled.
TEST_F(KeyboardTest, CtrlZTakesBackTypingBeforeAnyRename) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  ASSERT_NE(Window().MenuAction(kCmdUndoRename), nullptr);
  EXPECT_FALSE(Window().MenuAction(kCmdUndoRename)->isEnabled());
  NewNameBox()->setFocus();
  const QString proposal = NewNameBox()->text();
  QTest::keyClicks(NewNameBox(), "x");
  QTest::keyClick(NewNameBox(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(NewNameBox()->text(), proposal);
  Button(kRenameButton)->setFocus();
  QTest::keyClick(Button(kRenameButton), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_TRUE(FileExists("IMG_0001.JPG"));
}

TEST_F(KeyboardTest, CtrlASelectsAllInTheTwoEditBoxes) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  NewNameBox()->setFocus();
  NewNameBox()->selectAll();  // the box holds the default pattern's proposal
  QTest::keyClicks(NewNameBox(), "Typed.JPG");
  NewNameBox()->deselect();
  QTest::keyClick(NewNameBox(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(NewNameBox()->selectedText(), QStringLiteral("Typed.JPG"));
  QLineEdit* base = Box(kBaseNameBox)->lineEdit();
  base->setFocus();
  base->deselect();
  QTest::keyClick(base, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(base->selectedText(), base->text());
  EXPECT_TRUE(sounds_.played.empty());
}

TEST_F(KeyboardTest, F1OpensTheHelpPageAndAMissingPageIsReported) {
  ASSERT_TRUE(Start());
  QTest::keyClick(NewNameBox(), Qt::Key_F1);
  // No help pages beside this test's program folder.
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(LastMessage(), u"The help window could not be shown.");
}

TEST_F(KeyboardTest, AltF4EndsTheProgram) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Window().isVisible());
  QTest::keyClick(NewNameBox(), Qt::Key_F4, Qt::AltModifier);
  EXPECT_FALSE(Window().isVisible());
}

}  // namespace
}  // namespace lumatag::shell

namespace lumatag::shell {
namespace {

class HelpTest : public ShellTest {
 protected:
  void WritePage(const std::string& name, const std::string& body) {
    std::filesystem::create_directories(dir_.File("program/help"));
    std::ofstream(dir_.File("program/help/" + name))
        << "<html><head><title>t</title></head><body>" << body << "</body></html>";
  }
};

TEST_F(HelpTest, F1AndTheHelpMenuOpenTheMainPage) {
  WritePage("index.html", "<p>Main</p>");
  ASSERT_TRUE(Start());
  QTest::keyClick(NewNameBox(), Qt::Key_F1);
  Window().MenuAction(kCmdHelp)->trigger();
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_TRUE(opened_[0].isLocalFile());
  EXPECT_TRUE(opened_[0].toLocalFile().endsWith(QStringLiteral("program/help/index.html")));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(HelpTest, PopupHelpComesFromTheControlsPage) {
  WritePage("162.html", "<p>Renames the photo.</p>");
  ASSERT_TRUE(Start());
  EXPECT_EQ(Control(kRenameButton)->whatsThis(), QStringLiteral("<p>Renames the photo.</p>"));
  // Without a page the tooltip text stands in.
  EXPECT_EQ(Control(kFolderButton)->whatsThis(), Control(kFolderButton)->toolTip());
}

TEST_F(HelpTest, QuestionMarkItemEntersContextHelpMode) {
  ASSERT_TRUE(Start());
  ASSERT_FALSE(QWhatsThis::inWhatsThisMode());
  Window().MenuAction(kCmdContextHelp)->trigger();
  EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
  QWhatsThis::leaveWhatsThisMode();
}

TEST_F(HelpTest, MissingDocumentsAreReported) {
  ASSERT_TRUE(Start());
  Window().MenuAction(kCmdUserGuide)->trigger();
  EXPECT_EQ(LastMessage(),
            u"An error occurred when trying to display the application's user guide.");
  Window().MenuAction(kCmdLicense)->trigger();
  EXPECT_EQ(LastMessage(),
            u"An error occurred when trying to display the end user license agreement.");
  std::filesystem::create_directories(dir_.File("program"));
  std::ofstream(dir_.File("program/Lumatag User Guide.pdf")) << "%PDF";
  Window().MenuAction(kCmdUserGuide)->trigger();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_TRUE(opened_[0].toLocalFile().endsWith(QStringLiteral("Lumatag User Guide.pdf")));
}

TEST_F(HelpTest, DialogsThatAreNotThereLeaveTheirItemsDisabled) {
  ASSERT_TRUE(Start());
  for (int command : {kCmdExtensionManager, kCmdOptions, kCmdCheckUpdates, kCmdCrashLogs,
                      kCmdContact, kCmdAbout}) {
    EXPECT_FALSE(Window().MenuAction(command)->isEnabled()) << command;
  }
  EXPECT_TRUE(Window().MenuAction(kCmdExit)->isEnabled());
  // The Patterns Manager is the shell's own.
  EXPECT_TRUE(Window().MenuAction(kCmdPatternsManager)->isEnabled());
}

using StartupTest = ShellTest;

TEST_F(StartupTest, NoLocaleChosenEndsStartUpWithItsMessage) {
  std::filesystem::create_directories(dir_.File("program/de"));
  std::ofstream(dir_.File("program/de/strings.txt")) << "";
  std::ofstream(dir_.File("settings.reg")) << "Lumatag Settings Hive 1\n";
  ShellPorts ports = BasePorts();
  ports.wantedLocale = 0x40C;  // French: not there, German is
  int asked = 0;
  ports.localeChooser = [&](const std::vector<UiLocaleEntry>& available) {
    ++asked;
    EXPECT_EQ(available.size(), 2u);
    return -1;
  };
  ShellApplication shell(std::move(ports));
  EXPECT_EQ(shell.InitApplication(), E_LOCALE_NOT_FOUND);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(shell.Window(), nullptr);
  EXPECT_EQ(LastMessage(), u"Application failed to start.");
}

TEST_F(StartupTest, StoredStateMaximisedIsRestored) {
  WriteSettings("", 0, "\"App Window State\"=dword:00000003\n");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Window().isMaximized());
  EXPECT_EQ(Window().ShowCommand(), 3u);
}

TEST_F(StartupTest, StatusDisplayOffHidesTheStatusBar) {
  WriteSettings("", 0, "\"Status Display\"=dword:00000000\n");
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Window().statusBar()->isVisible());
}

}  // namespace
}  // namespace lumatag::shell
