#include "ui/QtPorts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>

#include "foundation/StringIds.h"
#include "ui/QtText.h"

namespace lumatag::ui {

QtFolderChooser::QtFolderChooser(AppContext& context, Runner runner)
    : context_(context), runner_(std::move(runner)) {
  if (!runner_) {
    runner_ = [](QFileDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
  }
}

Status QtFolderChooser::Choose(std::u16string_view startFolder, std::u16string* folder) {
  const StringModule& module = *context_.resourceModule;
  QFileDialog dialog(owner_.data(), TableText(module, IDS_FOLDER_DIALOG_TITLE),
                     ToQString(startFolder));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  const QString accept = TableText(module, IDS_FOLDER_DIALOG_OK);
  if (!accept.isEmpty()) dialog.setLabelText(QFileDialog::Accept, accept);
  if (!runner_(dialog)) return E_CANCELLED;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return E_FAIL;
  QString path = QDir::toNativeSeparators(chosen.front());
  if (!path.endsWith(QDir::separator())) path += QDir::separator();
  *folder = ToU16(path);
  return S_OK;
}

void QtSoundPlayer::Play(SystemSound, bool) {
  QApplication::beep();
}

QtDocumentOpener::QtDocumentOpener(Launcher launcher) : launcher_(std::move(launcher)) {
  if (!launcher_) launcher_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

bool QtDocumentOpener::IsAllowed(const QUrl& url) {
  if (!url.isValid() || url.isRelative()) return false;
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("file")) return url.isLocalFile() && !url.toLocalFile().isEmpty();
  return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
         !url.host().isEmpty();
}

Status QtDocumentOpener::Launch(const QUrl& url) {
  if (!IsAllowed(url)) return E_INVALIDARG;
  return launcher_(url) ? S_OK : E_FAIL;
}

Status QtDocumentOpener::OpenUrl(std::u16string_view url) {
  return Launch(QUrl(ToQString(url), QUrl::StrictMode));
}

Status QtDocumentOpener::OpenDocument(std::u16string_view path) {
  if (path.empty()) return E_INVALIDARG;
  return Launch(QUrl::fromLocalFile(ToQString(path)));
}

}  // namespace lumatag::ui
