// The main window on an empty settings store and on a folder of photos: what it shows, how
// navigation enables in the three modes, naming, Rename Remaining, Delete, the pending-change
// question and exit.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include "shell/PhotoListModel.h"
#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

using MainWindowTest = ShellTest;

TEST_F(MainWindowTest, EmptySettingsStoreShowsNoFolderAndDisablesNavigation) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Window().windowTitle(), QStringLiteral("Lumatag"));
  EXPECT_EQ(Control(kFolderPath)->accessibleName(), QStringLiteral("(no photo folder selected)"));
  EXPECT_EQ(Label(kPhotoIndexText)->text(), QStringLiteral("Photo #0 of 0."));
  EXPECT_EQ(Label(kUnnamedCountText)->text(), QStringLiteral("0 photos still to be named."));
  for (int button : {kFirstButton, kPreviousButton, kNextButton, kLastButton, kDeleteButton,
                     kRenameButton, kRenameRemainingButton}) {
    EXPECT_FALSE(Control(button)->isEnabled()) << button;
  }
  EXPECT_EQ(Box(kPhotoBox)->count(), 0);
  EXPECT_EQ(Box(kNavigationBox)->count(), 3);
  EXPECT_EQ(Box(kNavigationBox)->currentText(), QStringLiteral("Unnamed photos"));
  EXPECT_EQ(Window().statusBar()->isVisible(), true);
  EXPECT_EQ(Window().StatusText()->text(), QStringLiteral("Ready"));
  for (const auto& shown : presenter_.shown)
    ADD_FAILURE() << Utf16ToUtf8(shown.text) << " / " << Utf16ToUtf8(shown.title) << " "
                  << shown.flags;
  // The first start chose English without asking and keeps that choice.
  EXPECT_EQ(shell_->WindowRecord().uiLocale, kEnglishLocale);
}

TEST_F(MainWindowTest, EveryControlHasItsTextTooltipAndHelp) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Button(kFolderButton)->text(), QStringLiteral("&Folder..."));
  EXPECT_EQ(Button(kRenameButton)->text(), QStringLiteral("&Rename"));
  EXPECT_EQ(Button(kRenameRemainingButton)->text(), QStringLiteral("Rename Rem&aining"));
  EXPECT_EQ(Label(kStepPattern)->text(),
            QStringLiteral("3. Choose a pa&ttern for the photo name:"));
  EXPECT_EQ(Control(kNextButton)->toolTip(),
            QStringLiteral("Moves to the next photo in the working folder."));
  EXPECT_EQ(Control(kPhotoBox)->toolTip(), Control(kPhotoBoxLabel)->toolTip());
  for (int control = 0; control < kControlCount; ++control) {
    EXPECT_FALSE(Control(control)->toolTip().isEmpty()) << control;
    if (MainWindow::HelpIdOf(control) != 0) {
      EXPECT_FALSE(Control(control)->whatsThis().isEmpty()) << control;
    }
  }
  EXPECT_EQ(MainWindow::HelpIdOf(kBaseNameBox), 160);
  EXPECT_EQ(MainWindow::HelpIdOf(kStepPattern), 0);
}

TEST_F(MainWindowTest, MenuHasEveryItemAndTheContextHelpItem) {
  ASSERT_TRUE(Start());
  for (int command :
       {kCmdExit, kCmdPatternsManager, kCmdExtensionManager, kCmdOptions, kCmdHelp, kCmdUserGuide,
        kCmdCheckUpdates, kCmdCrashLogs, kCmdContact, kCmdLicense, kCmdAbout, kCmdContextHelp}) {
    EXPECT_NE(Window().MenuAction(command), nullptr) << command;
  }
  EXPECT_EQ(Window().MenuAction(kCmdContextHelp)->text(), QStringLiteral("?"));
  EXPECT_TRUE(Window().MenuAction(kCmdHelp)->text().startsWith(QStringLiteral("Lumatag &Help...")));
}

TEST_F(MainWindowTest, DemoFolderShowsItsPhotosInDateOrder) {
  AddPhotos({"IMG_0003.JPG", "IMG_0001.JPG", "Harbour #001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  QComboBox* photos = Box(kPhotoBox);
  ASSERT_EQ(photos->count(), 3);
  EXPECT_EQ(Control(kFolderPath)->accessibleName(), QString::fromStdString(photos_));
  EXPECT_EQ(photos->itemText(0), QStringLiteral("IMG_0003.JPG"));
  EXPECT_EQ(photos->itemText(2), QStringLiteral("Harbour #001.JPG"));
  EXPECT_EQ(photos->currentIndex(), 0);
  EXPECT_EQ(Label(kPhotoIndexText)->text(), QStringLiteral("Photo #1 of 3."));
  EXPECT_EQ(Label(kUnnamedCountText)->text(), QStringLiteral("2 photos still to be named."));
  EXPECT_GT(Box(kPatternBox)->count(), 10);
  EXPECT_EQ(Box(kBaseNameBox)->itemText(0), QStringLiteral("<no base name>"));
  EXPECT_NE(Box(kBaseNameBox)->findText(QStringLiteral("Harbour")), -1);
}

struct NavigationCase {
  int mode;
  int start;  // photo chosen first
  bool first, previous, next, last;
};

class NavigationEnablingTest : public ShellTest,
                               public testing::WithParamInterface<NavigationCase> {};

TEST_P(NavigationEnablingTest, ButtonsFollowTheVisiblePhotos) {
  const NavigationCase& c = GetParam();
  // Photos in date order: unnamed, named, unnamed, named.
  AddPhotos({"IMG_0001.JPG", "Harbour #001.JPG", "IMG_0002.JPG", "Harbour #002.JPG"});
  WriteSettings(photos_ + "/", c.mode);
  ASSERT_TRUE(Start());
  emit Box(kPhotoBox)->activated(c.start);
  EXPECT_EQ(Box(kPhotoBox)->currentIndex(), c.start);
  EXPECT_EQ(Control(kFirstButton)->isEnabled(), c.first);
  EXPECT_EQ(Control(kPreviousButton)->isEnabled(), c.previous);
  EXPECT_EQ(Control(kNextButton)->isEnabled(), c.next);
  EXPECT_EQ(Control(kLastButton)->isEnabled(), c.last);
  EXPECT_TRUE(Control(kDeleteButton)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, NavigationEnablingTest,
    testing::Values(NavigationCase{0, 0, false, false, true, true},  // all, at the first
                    NavigationCase{0, 3, true, true, false, false},  // all, at the last
                    NavigationCase{0, 1, true, true, true, true},    // all, in between
                    NavigationCase{1, 0, false, false, true, true},  // unnamed: 0 then 2
                    NavigationCase{1, 2, true, true, false, false},
                    NavigationCase{2, 1, false, false, true, true},  // named: 1 then 3
                    NavigationCase{2, 3, true, true, false, false}));

TEST_F(MainWindowTest, NavigationButtonsMoveThroughTheVisiblePhotos) {
  AddPhotos({"IMG_0001.JPG", "Harbour #001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"});
  WriteSettings(photos_ + "/", 1);
  ASSERT_TRUE(Start());
  QComboBox* photos = Box(kPhotoBox);
  EXPECT_EQ(photos->currentIndex(), 0);
  Button(kNextButton)->click();
  EXPECT_EQ(photos->currentIndex(), 2);  // the named photo is skipped
  Button(kLastButton)->click();
  EXPECT_EQ(photos->currentIndex(), 3);
  EXPECT_EQ(Label(kPhotoIndexText)->text(), QStringLiteral("Photo #4 of 4."));
  Button(kPreviousButton)->click();
  EXPECT_EQ(photos->currentIndex(), 2);
  Button(kFirstButton)->click();
  EXPECT_EQ(photos->currentIndex(), 0);
  // Another mode through the navigation box.
  emit Box(kNavigationBox)->activated(2);
  EXPECT_EQ(photos->currentIndex(), 1);
  EXPECT_EQ(shell_->Naming().fileNavigationMode, 2u);
  EXPECT_TRUE(shell_->SettingsChanged());
}

TEST_F(MainWindowTest, TypingANameAndRenameRenamesTheFile) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Control(kRenameButton)->isEnabled());
  QLineEdit* name = NewNameBox();
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, "Beach day.JPG");
  EXPECT_TRUE(Control(kRenameButton)->isEnabled());
  Button(kRenameButton)->click();
  EXPECT_TRUE(FileExists("Beach day.JPG"));
  EXPECT_FALSE(FileExists("IMG_0001.JPG"));
  EXPECT_NE(Box(kPhotoBox)->findText(QStringLiteral("Beach day.JPG")), -1);
  // Advanced to the next photo.
  EXPECT_EQ(Box(kPhotoBox)->currentText(), QStringLiteral("IMG_0002.JPG"));
  EXPECT_EQ(Label(kUnnamedCountText)->text(), QStringLiteral("1 photo still to be named."));
}

TEST_F(MainWindowTest, EnterInTheNewNameBoxRenames) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  QLineEdit* name = NewNameBox();
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, "Pier.JPG");
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_TRUE(FileExists("Pier.JPG"));
}

TEST_F(MainWindowTest, PatternAndBaseNameProposeAName) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  QComboBox* patterns = Box(kPatternBox);
  const int hash = patterns->findText(QStringLiteral("Hash sign & 3 digits"));
  ASSERT_GE(hash, 0);
  emit patterns->activated(hash);
  QComboBox* base = Box(kBaseNameBox);
  base->lineEdit()->setFocus();
  base->lineEdit()->selectAll();
  QTest::keyClicks(base->lineEdit(), "Harbour");
  // Leaving the box takes the typed base name.
  NewNameBox()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(NewNameBox()->text(), QStringLiteral("Harbour #001.JPG"));
  EXPECT_TRUE(Control(kRenameButton)->isEnabled());

  // Rename Remaining names the rest after the question.
  presenter_.Answer(IDYES);
  Button(kRenameRemainingButton)->click();
  EXPECT_TRUE(FileExists("Harbour #001.JPG"));
  EXPECT_TRUE(FileExists("Harbour #002.JPG"));
  EXPECT_TRUE(FileExists("Harbour #003.JPG"));
  EXPECT_EQ(Label(kUnnamedCountText)->text(), QStringLiteral("0 photos still to be named."));
}

TEST_F(MainWindowTest, RenameRemainingAnsweredNoRenamesNothing) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  emit Box(kPatternBox)
      ->activated(Box(kPatternBox)->findText(QStringLiteral("Hash sign & 3 digits")));
  presenter_.Answer(IDNO);
  Button(kRenameRemainingButton)->click();
  EXPECT_TRUE(FileExists("IMG_0001.JPG"));
  EXPECT_TRUE(FileExists("IMG_0002.JPG"));
}

TEST_F(MainWindowTest, DeleteMovesThePhotoToTheTrashAfterAsking) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  presenter_.Answer(IDNO);
  Button(kDeleteButton)->click();
  EXPECT_TRUE(FileExists("IMG_0001.JPG"));
  presenter_.Answer(IDYES);
  Button(kDeleteButton)->click();
  EXPECT_FALSE(FileExists("IMG_0001.JPG"));
  ASSERT_EQ(files_->recycled.size(), 1u);
  EXPECT_EQ(Box(kPhotoBox)->count(), 1);
  EXPECT_EQ(Label(kPhotoIndexText)->text(), QStringLiteral("Photo #1 of 1."));
}

TEST_F(MainWindowTest, PendingChangeQuestionOnNavigationCancelStays) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  NewNameBox()->setFocus();
  NewNameBox()->selectAll();  // the box holds the default pattern's proposal
  QTest::keyClicks(NewNameBox(), "Typed.JPG");
  presenter_.Answer(IDCANCEL);
  Button(kNextButton)->click();
  ASSERT_FALSE(presenter_.shown.empty());
  EXPECT_EQ(Box(kPhotoBox)->currentIndex(), 0);
  EXPECT_EQ(NewNameBox()->text(), QStringLiteral("Typed.JPG"));
  // Yes renames first, then moves on.
  presenter_.Answer(IDYES);
  Button(kNextButton)->click();
  EXPECT_TRUE(FileExists("Typed.JPG"));
  EXPECT_EQ(Box(kPhotoBox)->currentText(), QStringLiteral("IMG_0002.JPG"));
}

TEST_F(MainWindowTest, ExitWithAPendingChangeCancelKeepsRunning) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  NewNameBox()->setFocus();
  NewNameBox()->selectAll();  // the box holds the default pattern's proposal
  QTest::keyClicks(NewNameBox(), "Typed.JPG");
  presenter_.Answer(IDCANCEL);
  EXPECT_FALSE(Window().close());
  EXPECT_TRUE(Window().isVisible());
  presenter_.Answer(IDNO);
  EXPECT_TRUE(Window().close());
  EXPECT_TRUE(FileExists("IMG_0001.JPG"));
}

TEST_F(MainWindowTest, ExitIsRefusedWhileTheFolderDialogIsOpen) {
  ASSERT_TRUE(Start());
  bool closed = true;
  chooser_.whileOpen = [&] { closed = Window().close(); };
  Button(kFolderButton)->click();
  EXPECT_FALSE(closed);
  EXPECT_EQ(LastMessage(), u"Cannot exit the application right now.");
  EXPECT_TRUE(Window().isVisible());
}

TEST_F(MainWindowTest, ChoosingAFolderScansItAndSavesTheSettings) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  ASSERT_TRUE(Start());
  chooser_.answer = Utf8ToUtf16(photos_ + "/");
  Button(kFolderButton)->click();
  EXPECT_EQ(Box(kPhotoBox)->count(), 2);
  EXPECT_FALSE(shell_->SettingsChanged());
  // The next start works in that folder and starts the dialog there.
  shell_->ShutdownApplication();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Box(kPhotoBox)->count(), 2);
  chooser_.answer.clear();
  Button(kFolderButton)->click();
  ASSERT_FALSE(chooser_.starts.empty());
  EXPECT_EQ(chooser_.starts.back(), Utf8ToUtf16(photos_ + "/"));
}

TEST_F(MainWindowTest, ExitSavesThePlacementOnlyWhenSomethingChanged) {
  // A stored place partly off the screen is moved onto it.
  WriteSettings("", 0,
                "\"App Window Left\"=dword:00000200\n\"App Window Top\"=dword:00000004\n"
                "\"App Window Width\"=dword:00000200\n\"App Window Height\"=dword:00000100\n");
  ASSERT_TRUE(Start());
  const QRect screen = Window().screen()->availableGeometry();
  const QRect shown = Window().geometry();
  EXPECT_TRUE(screen.contains(shown))
      << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
  EXPECT_GE(shown.width(), Window().minimumSizeHint().width());
  const QRect moved(shown.x() > 0 ? shown.x() - 1 : 1, shown.y(), shown.width(), shown.height());
  Window().setGeometry(moved);
  EXPECT_TRUE(Window().close());
  shell_->ShutdownApplication();
  ASSERT_TRUE(Start());
  EXPECT_EQ(Window().geometry(), moved);
}

TEST_F(MainWindowTest, PhotoModelServesManyNamesWithoutCopyingThem) {
  PhotoList list;
  for (int i = 0; i < 1000; ++i) {
    PhotoEntry entry;
    const std::u16string name = Utf8ToUtf16("IMG_" + std::to_string(10000 + i) + ".JPG");
    const FileTime created{};
    ASSERT_TRUE(Succeeded(SetupPhotoFacts(&entry, &PrivateHeap::Process(), name.c_str(), &created,
                                          kNoPatternIndex, 0)));
    ASSERT_TRUE(Succeeded(list.Insert(std::move(entry))));
  }
  PhotoListModel model;
  model.Reset(&list);
  EXPECT_EQ(model.rowCount(), 1000);
  EXPECT_EQ(model.data(model.index(999)).toString(), QStringLiteral("IMG_10999.JPG"));
  EXPECT_FALSE(model.data(model.index(0), Qt::DecorationRole).isValid());
  model.Reset(nullptr);
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace lumatag::shell

namespace lumatag::shell {
namespace {

TEST_F(MainWindowTest, ScanProgressShowsOnlyForLongScansAndOffersCancel) {
  ASSERT_TRUE(Start());
  Window().BeginScanProgress();
  Window().UpdateScanProgress(10, 100);
  EXPECT_FALSE(Window().ScanProgressShown());
  QTest::qWait(550);
  Window().UpdateScanProgress(20, 100);
  EXPECT_TRUE(Window().ScanProgressShown());
  int cancelled = 0;
  QObject::connect(&Window(), &MainWindow::scanCancelRequested, [&] { ++cancelled; });
  const auto buttons = Window().statusBar()->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons.front()->text(), QStringLiteral("Cancel"));
  buttons.front()->click();
  EXPECT_EQ(cancelled, 1);
  Window().EndScanProgress();
  EXPECT_FALSE(Window().ScanProgressShown());
}

}  // namespace
}  // namespace lumatag::shell
