// The Qt implementations of the ports: message boxes, the overwrite question, folder choice and
// the opener of links and documents.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "UiTestSupport.h"
#include "foundation/StringIds.h"
#include "ports/Messages.h"
#include "support/TestSupport.h"
#include "ui/QtMessagePresenter.h"
#include "ui/QtPorts.h"
#include "ui/QtText.h"

namespace lumatag::ui {
namespace {

QString Label(std::uint16_t id) {
  return TableText(StringModule::BuiltIn(), id);
}

struct BoxCase {
  std::uint32_t flags;
  std::vector<std::uint16_t> buttons;  // labels, in order
  std::vector<int> answers;            // what each button answers
  int defaultIndex;
  int escapeAnswer;  // 0: Escape does nothing
  QMessageBox::Icon icon;
};

class MessageBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, StylesBecomeButtonsIconAndDefault) {
  const BoxCase& c = GetParam();
  UiFixture f;
  QtMessagePresenter presenter(f.app);
  const auto box = presenter.BuildBox(u"Text", u"", c.flags, false);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Lumatag"));  // the application title
  EXPECT_EQ(box->text(), QStringLiteral("Text"));
  EXPECT_EQ(box->icon(), c.icon);
  const QList<QAbstractButton*> buttons = box->buttons();
  ASSERT_EQ(buttons.size(), static_cast<qsizetype>(c.buttons.size()));
  std::vector<QString> labels;
  std::vector<int> answers;
  for (QAbstractButton* b : buttons) {
    labels.push_back(b->text());
    answers.push_back(QtMessagePresenter::AnswerOf(b));
  }
  std::sort(answers.begin(), answers.end());
  std::vector<int> expectedAnswers = c.answers;
  std::sort(expectedAnswers.begin(), expectedAnswers.end());
  EXPECT_EQ(answers, expectedAnswers);
  for (std::uint16_t id : c.buttons) {
    EXPECT_NE(std::find(labels.begin(), labels.end(), Label(id)), labels.end()) << id;
  }
  EXPECT_EQ(QtMessagePresenter::AnswerOf(box->defaultButton()), c.answers[c.defaultIndex]);
  EXPECT_EQ(QtMessagePresenter::AnswerOf(box->escapeButton()), c.escapeAnswer);
}

const BoxCase kBoxCases[] = {
    {MB_OK | MB_ICONERROR, {IDS_BTN_OK}, {IDOK}, 0, IDOK, QMessageBox::Critical},
    {MB_OKCANCEL, {IDS_BTN_OK, IDS_BTN_CANCEL}, {IDOK, IDCANCEL}, 0, IDCANCEL, QMessageBox::NoIcon},
    {MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2,
     {IDS_BTN_YES, IDS_BTN_NO},
     {IDYES, IDNO},
     1,
     0,
     QMessageBox::Information},
    {MB_YESNO | MB_ICONINFORMATION,
     {IDS_BTN_YES, IDS_BTN_NO},
     {IDYES, IDNO},
     0,
     0,
     QMessageBox::Information},
    {MB_YESNOCANCEL | MB_ICONINFORMATION,
     {IDS_BTN_YES, IDS_BTN_NO, IDS_BTN_CANCEL},
     {IDYES, IDNO, IDCANCEL},
     0,
     IDCANCEL,
     QMessageBox::Information},
    {MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3,
     {IDS_BTN_YES, IDS_BTN_NO, IDS_BTN_CANCEL},
     {IDYES, IDNO, IDCANCEL},
     2,
     IDCANCEL,
     QMessageBox::Warning},
    {MB_OK | MB_ICONQUESTION | MB_DEFBUTTON2, {IDS_BTN_OK}, {IDOK}, 0, IDOK, QMessageBox::Question},
};
INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxTest, testing::ValuesIn(kBoxCases), LT_CASE_NAMES);

TEST(QtMessagePresenterTest, FrontEndsAnswerWithThePressedButton) {
  UiFixture f;
  std::vector<QString> titles;
  int press = IDYES;
  QtMessagePresenter presenter(f.app, [&](QMessageBox& box) -> QAbstractButton* {
    titles.push_back(box.windowTitle());
    for (QAbstractButton* b : box.buttons()) {
      if (QtMessagePresenter::AnswerOf(b) == press) return b;
    }
    return nullptr;
  });
  f.app.presenter = &presenter;
  EXPECT_EQ(AskYesNo(f.app, IDS_CONTROLS_NOT_UPDATED), IDYES);
  press = IDNO;
  EXPECT_EQ(AskRenameBeforeProceeding(f.app), IDNO);
  press = IDCANCEL;
  EXPECT_EQ(AskRenameBeforeProceeding(f.app), IDCANCEL);
  press = 0;  // closed without a button
  EXPECT_EQ(presenter.Show(u"t", u"Other title", MB_OK, false), 0);
  EXPECT_EQ(titles,
            (std::vector<QString>{QStringLiteral("Lumatag"), QStringLiteral("Lumatag"),
                                  QStringLiteral("Lumatag"), QStringLiteral("Other title")}));
}

TEST(QtMessagePresenterTest, DetailsGoIntoTheDetailsArea) {
  UiFixture f;
  QString details;
  QString text;
  QtMessagePresenter presenter(f.app, [&](QMessageBox& box) -> QAbstractButton* {
    details = box.detailedText();
    text = box.text();
    return box.button(QMessageBox::Yes);
  });
  f.app.presenter = &presenter;
  EXPECT_EQ(AskYesNoWithDetails(f.app, IDS_ASK_RENAME_ALL, u"2", u"a.JPG \u2192 b.JPG\n  a.CR2"),
            IDYES);
  EXPECT_EQ(details, QStringLiteral("a.JPG \u2192 b.JPG\n  a.CR2"));
  EXPECT_TRUE(text.contains(QStringLiteral("2 photos")));
}

TEST(QtMessagePresenterTest, ModalBoxIsAnsweredThroughItsOwnLoop) {
  UiFixture f;
  QtMessagePresenter presenter(f.app);
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(presenter.Show(u"Delete?", u"", MB_YESNO | MB_ICONINFORMATION, false), IDNO);
}

TEST(QtMessagePresenterTest, BoxOwnedByTheMainWindowWhenAsked) {
  UiFixture f;
  QWidget main;
  QtMessagePresenter presenter(f.app);
  presenter.SetMainWindow(&main);
  EXPECT_EQ(presenter.BuildBox(u"t", u"", MB_OK, true)->parentWidget(), &main);
  EXPECT_EQ(presenter.BuildBox(u"t", u"", MB_OK, false)->parentWidget(), nullptr);
}

TEST(QtMessagePresenterTest, OverwriteQuestionHasFiveAnswers) {
  UiFixture f;
  const Choice choices[] = {{u"&Yes", IDYES},
                            {u"Yes to &All", 32000},
                            {u"&No", IDNO},
                            {u"N&o to All", 32001},
                            {u"Cancel", IDCANCEL}};
  QtMessagePresenter presenter(f.app);
  const auto box = presenter.BuildChoiceBox(u"The file exists.", u"Overwrite File", choices, false);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Overwrite File"));
  std::vector<int> answers;
  for (QAbstractButton* b : box->buttons()) answers.push_back(QtMessagePresenter::AnswerOf(b));
  std::sort(answers.begin(), answers.end());
  EXPECT_EQ(answers, (std::vector<int>{IDCANCEL, IDYES, IDNO, 32000, 32001}));
  EXPECT_EQ(QtMessagePresenter::AnswerOf(box->defaultButton()), IDNO);
  EXPECT_EQ(QtMessagePresenter::AnswerOf(box->escapeButton()), IDCANCEL);

  for (const Choice& pressed : choices) {
    QtMessagePresenter answering(f.app, [&](QMessageBox& b) -> QAbstractButton* {
      for (QAbstractButton* button : b.buttons()) {
        if (button->text() == ToQString(pressed.label)) return button;
      }
      return nullptr;
    });
    EXPECT_EQ(answering.AskChoice(u"q", u"", choices, false), pressed.answer);
  }
  EXPECT_EQ(presenter.AskChoice(u"q", u"", {}, false), 0);
}

TEST(QtFolderChooserTest, ChosenFolderEndsWithASeparatorAndCancelIsCancelled) {
  UiFixture f;
  TempDir dir;
  const QString start = QString::fromStdString(dir.path());
  QString title;
  QString accept;
  QString startSeen;
  QtFolderChooser chooser(f.app, [&](QFileDialog& dialog) {
    title = dialog.windowTitle();
    accept = dialog.labelText(QFileDialog::Accept);
    startSeen = dialog.directory().absolutePath();
    dialog.selectFile(start);
    return true;
  });
  std::u16string folder;
  ASSERT_OK(chooser.Choose(ToU16(start), &folder));
  EXPECT_EQ(ToQString(folder), QDir::toNativeSeparators(start) + QDir::separator());
  EXPECT_EQ(title, Label(IDS_FOLDER_DIALOG_TITLE));
  EXPECT_EQ(accept, Label(IDS_FOLDER_DIALOG_OK));
  EXPECT_EQ(startSeen, QDir(start).absolutePath());

  QtFolderChooser cancelled(f.app, [](QFileDialog&) { return false; });
  EXPECT_STATUS(E_CANCELLED, cancelled.Choose(ToU16(start), &folder));
}

TEST(QtDocumentOpenerTest, OnlyWebAndFileAddressesReachTheDesktop) {
  std::vector<QUrl> launched;
  QtDocumentOpener opener([&](const QUrl& url) {
    launched.push_back(url);
    return true;
  });
  struct Case {
    std::u16string url;
    Status status;
  };
  for (const Case& c : {
           Case{u"https://www.example.com/software/", S_OK},
           Case{u"http://www.example.com", S_OK},
           Case{u"HTTPS://www.example.com", S_OK},
           Case{u"file:///usr/share/doc/guide.pdf", S_OK},
           Case{u"mailto:support@example.com", E_INVALIDARG},
           Case{u"javascript:alert(1)", E_INVALIDARG},
           Case{u"ftp://example.com/file", E_INVALIDARG},
           Case{u"smb://server/share", E_INVALIDARG},
           Case{u"/usr/bin/xterm", E_INVALIDARG},
           Case{u"www.example.com", E_INVALIDARG},
           Case{u"http://", E_INVALIDARG},
           Case{u"", E_INVALIDARG},
       }) {
    const std::size_t before = launched.size();
    EXPECT_STATUS(c.status, opener.OpenUrl(c.url)) << ToQString(c.url).toStdString();
    EXPECT_EQ(launched.size(), before + (c.status == S_OK ? 1 : 0));
  }
  ASSERT_OK(opener.OpenDocument(u"/opt/lumatag/Lumatag User Guide.pdf"));
  EXPECT_EQ(launched.back(),
            QUrl::fromLocalFile(QStringLiteral("/opt/lumatag/Lumatag User Guide.pdf")));
  EXPECT_STATUS(E_INVALIDARG, opener.OpenDocument(u""));

  QtDocumentOpener refusing([](const QUrl&) { return false; });
  EXPECT_STATUS(E_FAIL, refusing.OpenUrl(u"https://www.example.com/"));
}

}  // namespace
}  // namespace lumatag::ui
