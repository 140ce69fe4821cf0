#include "ui/QtMessagePresenter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "foundation/StringIds.h"
#include "ui/QtText.h"

namespace lumatag::ui {
namespace {

// The answer a button gives is kept on the button itself.
constexpr const char* kAnswerProperty = "lumatagAnswer";

QMessageBox::Icon IconFor(std::uint32_t flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

struct ButtonSpec {
  QMessageBox::StandardButton button;
  std::uint16_t label;
  int answer;
};

}  // namespace

QtMessagePresenter::QtMessagePresenter(AppContext& context, BoxRunner runner)
    : context_(context), runner_(std::move(runner)) {
  if (!runner_) {
    runner_ = [](QMessageBox& box) {
      box.exec();
      return box.clickedButton();
    };
  }
}

QWidget* QtMessagePresenter::Owner(bool owned) const {
  return owned ? mainWindow_.data() : nullptr;
}

QString QtMessagePresenter::Title(std::u16string_view title) const {
  return title.empty() ? ToQString(context_.title) : ToQString(title);
}

std::unique_ptr<QMessageBox> QtMessagePresenter::BuildBox(std::u16string_view text,
                                                          std::u16string_view title,
                                                          std::uint32_t flags, bool owned) const {
  auto box = std::make_unique<QMessageBox>(Owner(owned));
  box->setWindowTitle(Title(title));
  box->setText(ToQString(text));
  box->setTextFormat(Qt::PlainText);
  box->setIcon(IconFor(flags));

  static constexpr ButtonSpec kOk{QMessageBox::Ok, IDS_BTN_OK, IDOK};
  static constexpr ButtonSpec kCancel{QMessageBox::Cancel, IDS_BTN_CANCEL, IDCANCEL};
  static constexpr ButtonSpec kYes{QMessageBox::Yes, IDS_BTN_YES, IDYES};
  static constexpr ButtonSpec kNo{QMessageBox::No, IDS_BTN_NO, IDNO};
  std::vector<ButtonSpec> buttons;
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
      buttons = {kOk, kCancel};
      break;
    case MB_YESNOCANCEL:
      buttons = {kYes, kNo, kCancel};
      break;
    case MB_YESNO:
      buttons = {kYes, kNo};
      break;
    default:
      buttons = {kOk};
      break;
  }
  const StringModule& module = *context_.resourceModule;
  std::vector<QPushButton*> made;
  for (const ButtonSpec& wanted : buttons) {
    QPushButton* button = box->addButton(wanted.button);
    const QString label = TableText(module, wanted.label);
    if (!label.isEmpty()) button->setText(label);
    button->setProperty(kAnswerProperty, wanted.answer);
    made.push_back(button);
  }
  std::size_t defaultIndex = 0;
  if ((flags & MB_DEFMASK) == MB_DEFBUTTON2) defaultIndex = 1;
  if ((flags & MB_DEFMASK) == MB_DEFBUTTON3) defaultIndex = 2;
  box->setDefaultButton(made[std::min(defaultIndex, made.size() - 1)]);
  // Escape answers Cancel where there is one, OK on a box with OK alone, else nothing.
  if (QAbstractButton* cancel = box->button(QMessageBox::Cancel)) {
    box->setEscapeButton(cancel);
  } else if (made.size() == 1) {
    box->setEscapeButton(made.front());
  } else {
    box->setEscapeButton(static_cast<QAbstractButton*>(nullptr));
  }
  return box;
}

std::unique_ptr<QMessageBox> QtMessagePresenter::BuildChoiceBox(std::u16string_view text,
                                                                std::u16string_view title,
                                                                std::span<const Choice> choices,
                                                                bool owned) const {
  auto box = std::make_unique<QMessageBox>(Owner(owned));
  box->setWindowTitle(Title(title));
  box->setText(ToQString(text));
  box->setTextFormat(Qt::PlainText);
  box->setIcon(QMessageBox::Question);
  QPushButton* no = nullptr;
  for (const Choice& choice : choices) {
    const QMessageBox::ButtonRole role = choice.answer == IDCANCEL ? QMessageBox::RejectRole
                                         : choice.answer == IDNO   ? QMessageBox::NoRole
                                                                   : QMessageBox::ActionRole;
    QPushButton* button = box->addButton(ToQString(choice.label), role);
    button->setProperty(kAnswerProperty, choice.answer);
    if (choice.answer == IDCANCEL) box->setEscapeButton(button);
    if (choice.answer == IDNO) no = button;
  }
  // Enter never replaces a file by accident: No is the default where there is one.
  if (no != nullptr) box->setDefaultButton(no);
  return box;
}

int QtMessagePresenter::AnswerOf(const QAbstractButton* button) {
  if (button == nullptr) return 0;
  const QVariant answer = button->property(kAnswerProperty);
  return answer.isValid() ? answer.toInt() : 0;
}

int QtMessagePresenter::Show(std::u16string_view text, std::u16string_view title,
                             std::uint32_t flags, bool owned) {
  const std::unique_ptr<QMessageBox> box = BuildBox(text, title, flags, owned);
  return AnswerOf(runner_(*box));
}

int QtMessagePresenter::ShowWithDetails(std::u16string_view text, std::u16string_view details,
                                        std::u16string_view title, std::uint32_t flags,
                                        bool owned) {
  const std::unique_ptr<QMessageBox> box = BuildBox(text, title, flags, owned);
  if (!details.empty()) box->setDetailedText(ToQString(details));
  return AnswerOf(runner_(*box));
}

int QtMessagePresenter::AskChoice(std::u16string_view text, std::u16string_view title,
                                  std::span<const Choice> choices, bool owned) {
  if (choices.empty()) return 0;
  const std::unique_ptr<QMessageBox> box = BuildChoiceBox(text, title, choices, owned);
  return AnswerOf(runner_(*box));
}

}  // namespace lumatag::ui
