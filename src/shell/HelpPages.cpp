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

QString HelpPages::PagePath(int helpId) const {
  const QString name =
      helpId == 0 ? QStringLiteral("index.html") : QStringLiteral("%1.html").arg(helpId);
  return QDir(folder_).filePath(QStringLiteral("help/") + name);
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
  const QString path = QDir(folder_).filePath(fileName);
  return QFileInfo::exists(path) && opener_ && opener_(QUrl::fromLocalFile(path));
}

}  // namespace lumatag::shell
