#include "shell/HelpPages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace lumatag::shell {

DocumentOpener DesktopOpener() {
  return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QString HelpPages::FolderHolding(const QString& relativePath) const {
  for (const QString& folder : folders_) {
    if (QFileInfo::exists(QDir(folder).filePath(relativePath))) return folder;
  }
  return folders_.empty() ? QString() : folders_.front();
}

QString HelpPages::PagePath(int helpId) const {
  const QString name =
      helpId == 0 ? QStringLiteral("index.html") : QStringLiteral("%1.html").arg(helpId);
  // The pages stay together: all come from the folder that holds the main page.
  return QDir(FolderHolding(QStringLiteral("help/index.html")))
      .filePath(QStringLiteral("help/") + name);
}

QString HelpPages::PopupText(int helpId) const {
  QFile file(PagePath(helpId));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString html = QString::fromUtf8(file.readAll());
  static const QRegularExpression body(
      QStringLiteral("<body[^>]*>(.*)</body>"),
      QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = body.match(html);
  return match.hasMatch() ? match.captured(1).trimmed() : html;
}

bool HelpPages::ShowTopic(int helpId) const {
  const QString path = PagePath(helpId);
  return QFileInfo::exists(path) && opener_ && opener_(QUrl::fromLocalFile(path));
}

bool HelpPages::OpenDocument(const QString& fileName) const {
  const QString path = QDir(FolderHolding(fileName)).filePath(fileName);
  return QFileInfo::exists(path) && opener_ && opener_(QUrl::fromLocalFile(path));
}

}  // namespace lumatag::shell
