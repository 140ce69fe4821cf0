// The help that ships with the program: one HTML page per help context number in a "help" folder
// ("help/146.html"), the main page "help/index.html", and the documents (user guide, licence
// agreement). They live beside the program in a build tree and under ../share/lumatag once
// installed: each is looked up in the given folders in order. Pages and documents open with the
// desktop's handler.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <vector>

namespace lumatag::shell {

// Opens a file with the desktop; false when it could not be handed over.
using DocumentOpener = std::function<bool(const QUrl& url)>;

// The desktop's opener (QDesktopServices).
DocumentOpener DesktopOpener();

class HelpPages {
 public:
  HelpPages(std::vector<QString> folders, DocumentOpener opener)
      : folders_(std::move(folders)), opener_(std::move(opener)) {}

  QString PagePath(int helpId) const;  // 0: the main page
  // The page's body as rich text for pop-up help; empty when there is no page.
  QString PopupText(int helpId) const;
  // Opens a help page; false when it is missing or could not be opened.
  bool ShowTopic(int helpId) const;
  // Opens a document that ships with the program; false when it is missing or could not be
  // opened.
  bool OpenDocument(const QString& fileName) const;

 private:
  // The first folder that holds `relativePath`; the first folder when none does.
  QString FolderHolding(const QString& relativePath) const;

  std::vector<QString> folders_;
  DocumentOpener opener_;
};

}  // namespace lumatag::shell
