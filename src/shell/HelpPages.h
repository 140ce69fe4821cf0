// The help beside the program: one HTML page per help context number in the "help" folder
// ("help/146.html"), the main page "help/index.html", and the documents (user guide, licence
// agreement) in the program's folder. Pages and documents open with the desktop's handler.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace lumatag::shell {

// Opens a file with the desktop; false when it could not be handed over.
using DocumentOpener = std::function<bool(const QUrl& url)>;

// The desktop's opener (QDesktopServices).
DocumentOpener DesktopOpener();

class HelpPages {
 public:
  HelpPages(QString programFolder, DocumentOpener opener)
      : folder_(std::move(programFolder)), opener_(std::move(opener)) {}

  QString PagePath(int helpId) const;  // 0: the main page
  // The page's body as rich text for pop-up help; empty when there is no page.
  QString PopupText(int helpId) const;
  // Opens a help page; false when it is missing or could not be opened.
  bool ShowTopic(int helpId) const;
  // Opens a document that lives beside the program; false when it is missing or could not be
  // opened.
  bool OpenDocument(const QString& fileName) const;

 private:
  QString folder_;
  DocumentOpener opener_;
};

}  // namespace lumatag::shell
