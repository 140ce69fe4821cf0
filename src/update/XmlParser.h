// The event interface between the XML loader and the XML parser underneath it. The parser reads
// the whole document and reports start and end of the document, start and end of each element
// with its attributes, and the first problem that makes the document unreadable; text, comments
// and processing instructions are not reported. A parser implementation lives outside the engine
// (it adapts a toolkit's reader); tests and the loader see only this interface.
#pragma once

#include <span>
#include <string_view>

#include "foundation/Status.h"

namespace lumatag {

// Where the parser is in the document: line and column, both counted from 1.
class XmlLocator {
 public:
  virtual ~XmlLocator() = default;
  virtual int Line() const = 0;
  virtual int Column() const = 0;
};

struct XmlAttributeView {
  std::u16string_view localName;
  std::u16string_view value;
};

class XmlEventSink {
 public:
  virtual ~XmlEventSink() = default;
  // Called before any other event; the locator stays valid until the parse returns.
  virtual void SetDocumentLocator(const XmlLocator* locator) = 0;
  virtual Status StartDocument() = 0;
  virtual Status EndDocument() = 0;
  // A failure ends the parse with that status.
  virtual Status StartElement(std::u16string_view localName,
                              std::span<const XmlAttributeView> attributes) = 0;
  virtual Status EndElement(std::u16string_view localName) = 0;
  // The parser found the document unreadable (`text` is the parser's own description). Returns the
  // status the parse ends with.
  virtual Status FatalError(Status status, std::u16string_view text) = 0;
};

// Status of a document that is not well-formed XML.
inline constexpr Status E_XML_NOT_WELL_FORMED = MakeStatus(0xC00CE501);

class XmlEventParser {
 public:
  virtual ~XmlEventParser() = default;
  // Parses `document` (UTF-8 or with its own encoding declaration) and reports to `sink`. Returns
  // S_OK when the document was read to its end, else the status that ended it.
  virtual Status Parse(std::string_view document, XmlEventSink& sink) = 0;
};

}  // namespace lumatag
