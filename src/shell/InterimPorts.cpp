#include "shell/InterimPorts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "foundation/Path.h"
#include "foundation/Status.h"

namespace lumatag::shell {

namespace {

QMessageBox::Icon IconOf(std::uint32_t flags) {
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

}  // namespace

int QtMessagePresenter::Show(std::u16string_view text, std::u16string_view title,
                             std::uint32_t flags, bool owned) {
  QMessageBox box(IconOf(flags), ToQString(title), ToQString(text), QMessageBox::NoButton,
                  owned && owner_ ? owner_() : nullptr);
  struct Button {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Button> buttons;
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
      buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_YESNOCANCEL:
      buttons = {
          {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_YESNO:
      buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
      break;
    default:
      buttons = {{QMessageBox::Ok, IDOK}};
      break;
  }
  for (const Button& b : buttons) box.addButton(b.button);
  const std::size_t defaultIndex = (flags & MB_DEFMASK) >> 8;
  if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex].button);
  const int pressed = box.exec();
  for (const Button& b : buttons) {
    if (pressed == b.button) return b.answer;
  }
  // Closing the box counts as its Cancel (or its only button).
  return buttons.size() == 2 && buttons[1].answer == IDNO ? IDNO
         : buttons.size() > 1                             ? IDCANCEL
                                                          : IDOK;
}

int QtMessagePresenter::AskChoice(std::u16string_view text, std::u16string_view title,
                                  std::span<const Choice> choices, bool owned) {
  QMessageBox box(QMessageBox::Question, ToQString(title), ToQString(text), QMessageBox::NoButton,
                  owned && owner_ ? owner_() : nullptr);
  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (const Choice& choice : choices) {
    buttons.emplace_back(box.addButton(ToQString(choice.label), QMessageBox::ActionRole),
                         choice.answer);
  }
  box.exec();
  for (const auto& [button, answer] : buttons) {
    if (box.clickedButton() == button) return answer;
  }
  return IDCANCEL;
}

void QtSoundPlayer::Play(SystemSound, bool) {
  QApplication::beep();
}

Status QtFolderChooser::Choose(std::u16string_view startFolder, std::u16string* folder) {
  QFileDialog dialog(owner_ ? owner_() : nullptr, ToQString(title_));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setLabelText(QFileDialog::Accept, ToQString(okLabel_));
  dialog.setLabelText(QFileDialog::FileName, ToQString(fileLabel_));
  auto putFirstFile = [&dialog](const QString& path) {
    const QStringList files = QDir(path).entryList(QDir::Files, QDir::Name);
    if (!files.isEmpty()) dialog.selectFile(files.front());
  };
  QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, putFirstFile);
  if (!startFolder.empty()) {
    const QString start = ToQString(startFolder);
    dialog.setDirectory(start);
    putFirstFile(start);
  }
  if (dialog.exec() != QDialog::Accepted) return E_CANCELLED;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return E_CANCELLED;
  const QFileInfo info(chosen.front());
  QString path = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  std::u16string result = ToU16(QDir::toNativeSeparators(path));
  if (result.empty() || result.back() != kPathSeparator) result.push_back(kPathSeparator);
  *folder = std::move(result);
  return S_OK;
}

}  // namespace lumatag::shell
