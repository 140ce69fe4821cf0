#include "update/qt/QtXmlEventParser.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <vector>

namespace lumatag {

namespace {

std::u16string_view View(QStringView text) {
  return {text.utf16(), static_cast<std::size_t>(text.size())};
}

class ReaderLocator final : public XmlLocator {
 public:
  explicit ReaderLocator(const QXmlStreamReader& reader) : reader_(reader) {}
  int Line() const override { return static_cast<int>(reader_.lineNumber()); }
  // The reader counts columns from 0.
  int Column() const override { return static_cast<int>(reader_.columnNumber()) + 1; }

 private:
  const QXmlStreamReader& reader_;
};

}  // namespace

Status QtXmlEventParser::Parse(std::string_view document, XmlEventSink& sink) {
  const QByteArray bytes =
      QByteArray::fromRawData(document.data(), static_cast<qsizetype>(document.size()));
  QXmlStreamReader reader(bytes);
  reader.setEntityExpansionLimit(kEntityExpansionLimit);
  const ReaderLocator locator(reader);
  sink.SetDocumentLocator(&locator);

  std::vector<XmlAttributeView> attributes;
  Status status = S_OK;
  while (!reader.atEnd() && Succeeded(status)) {
    switch (reader.readNext()) {
      case QXmlStreamReader::StartDocument:
        status = sink.StartDocument();
        break;
      case QXmlStreamReader::StartElement: {
        const QXmlStreamAttributes& list = reader.attributes();
        attributes.clear();
        for (const QXmlStreamAttribute& attribute : list) {
          attributes.push_back({View(attribute.name()), View(attribute.value())});
        }
        status = sink.StartElement(View(reader.name()), attributes);
        break;
      }
      case QXmlStreamReader::EndElement:
        status = sink.EndElement(View(reader.name()));
        break;
      case QXmlStreamReader::EndDocument:
        status = sink.EndDocument();
        break;
      default:  // text, comments, processing instructions, declarations: no information
        break;
    }
  }
  if (Succeeded(status) && reader.hasError()) {
    const QString text = reader.errorString();
    status = sink.FatalError(E_XML_NOT_WELL_FORMED, View(text));
  }
  sink.SetDocumentLocator(nullptr);
  return Failed(status) ? status : S_OK;
}

}  // namespace lumatag
