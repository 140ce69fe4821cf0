// lumatag-docpdf: turns a document kept as text in the repository into the PDF that ships beside
// the program (the user guide, the licence agreement).
//
//   lumatag-docpdf --markdown FILE.md [--images DIR] --title TITLE OUT.pdf
//   lumatag-docpdf --text FILE --title TITLE OUT.pdf
//
// Markdown is laid out by Qt's rich-text engine; pictures named in it ("![...](main-window.png)")
// are taken from DIR and shrunk to the width of the page when wider. Plain text becomes
// paragraphs (separated by blank lines) under the title. Pages are A4 with their numbers at the
// foot. Prints the page count on success; a missing picture or input is an error, so a guide
// never ships with holes.
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QTextTableFormat>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>

namespace {

int Fail(const QString& message) {
  std::fprintf(stderr, "lumatag-docpdf: %s\n", qPrintable(message));
  return 1;
}

// Loads every picture the document names and fits it to the text width. Returns the names of the
// pictures that could not be loaded.
QStringList AttachImages(QTextDocument& document, const QString& folder, qreal textWidth) {
  QStringList missing;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || !fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat format = fragment.charFormat().toImageFormat();
      const QString name = format.name();
      const QImage image(QFileInfo(folder + QLatin1Char('/') + name).absoluteFilePath());
      if (image.isNull()) {
        missing << name;
        continue;
      }
      document.addResource(QTextDocument::ImageResource, QUrl(name), image);
      // Sizes are in pixels of 1/96 inch, as screenshots are drawn.
      qreal width = image.width();
      qreal height = image.height();
      if (width > textWidth) {
        height *= textWidth / width;
        width = textWidth;
      }
      format.setWidth(width);
      format.setHeight(height);
      QTextCursor cursor(&document);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(format);
    }
  }
  return missing;
}

// The pages of a PDF written by QPdfWriter: its page objects are plain dictionaries.
int CountPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  static const QRegularExpression pageObject(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
  return static_cast<int>(QString::fromLatin1(file.readAll()).count(pageObject));
}

// Tables get single thin rules, a little room in their cells and the text's full width.
void StyleTables(QTextDocument& document) {
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat format = table->format();
    format.setBorderCollapse(true);
    format.setBorder(0.5);
    format.setBorderBrush(QColor(0x99, 0x99, 0x99));
    format.setCellSpacing(0);
    format.setCellPadding(3);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    table->setFormat(format);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // No window is ever shown: the offscreen platform needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QString markdown;
  QString text;
  QString images;
  QString title;
  QString output;
  const QStringList args = QGuiApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == QLatin1String("--markdown") && hasValue) {
      markdown = args[++i];
    } else if (arg == QLatin1String("--text") && hasValue) {
      text = args[++i];
    } else if (arg == QLatin1String("--images") && hasValue) {
      images = args[++i];
    } else if (arg == QLatin1String("--title") && hasValue) {
      title = args[++i];
    } else if (output.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
      output = arg;
    } else {
      return Fail(QStringLiteral("unexpected argument '%1'").arg(arg));
    }
  }
  if (output.isEmpty() || markdown.isEmpty() == text.isEmpty()) {
    return Fail(QStringLiteral(
        "usage: --markdown FILE [--images DIR] | --text FILE, then --title TITLE OUT.pdf"));
  }
  QFile source(markdown.isEmpty() ? text : markdown);
  if (!source.open(QIODevice::ReadOnly)) {
    return Fail(QStringLiteral("cannot read %1").arg(source.fileName()));
  }
  const QString content = QString::fromUtf8(source.readAll());

  QPdfWriter writer(output);
  writer.setTitle(title);
  writer.setCreator(QStringLiteral("Lumatag"));
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  // Printing a document lays it out with margins of 2 cm on the page; the text between them is
  // this wide, in pixels of 1/96 inch.
  const qreal textWidth =
      (writer.pageLayout().fullRect(QPageLayout::Millimeter).width() - 40.0) / 25.4 * 96.0;

  QTextDocument document;
  document.setDocumentMargin(0);
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSizeF(10.5);
  document.setDefaultFont(font);
  if (!markdown.isEmpty()) {
    document.setDefaultStyleSheet(QStringLiteral(
        "h1 { font-size: 22pt; } h2 { font-size: 15pt; } h3 { font-size: 12pt; }"
        "code { font-family: monospace; } th { background-color: #e8e8e8; }"
        "td, th { padding: 3px; }"));
    document.setMarkdown(content);
    StyleTables(document);
    const QStringList missing = AttachImages(document, images, textWidth);
    if (!missing.isEmpty()) {
      return Fail(QStringLiteral("pictures missing in '%1': %2").arg(images, missing.join(", ")));
    }
  } else {
    // Paragraphs are separated by blank lines; the line breaks inside one are only the text
    // file's wrapping, so the page reflows them.
    QString html = QStringLiteral("<h1>%1</h1>").arg(title.toHtmlEscaped());
    static const QRegularExpression blankLine(QStringLiteral("\\n\\s*\\n"));
    for (const QString& paragraph : content.split(blankLine)) {
      const QString joined = paragraph.simplified();
      if (!joined.isEmpty()) html += QStringLiteral("<p>%1</p>").arg(joined.toHtmlEscaped());
    }
    document.setHtml(html);
  }
  document.print(&writer);
  const int pages = CountPages(output);
  if (pages <= 0) return Fail(QStringLiteral("cannot write %1").arg(output));
  std::printf("%s: %d pages\n", qPrintable(QFileInfo(output).fileName()), pages);
  return 0;
}
