#include "shell/InterimPorts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "foundation/Path.h"
#include "foundation/Status.h"

namespace lumatag::shell {

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
