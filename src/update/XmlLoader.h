// The XML loader: one load of a small document whose content lives entirely in element names,
// nesting and attributes. It turns the parser's events into calls on a document handler, keeps the
// stack of open elements, and reports the first problem of a load once, in a message box with line,
// column and the open elements.
//
// Documents come from a web address (through the fetcher port), a file, or memory. Every document
// is capped in size (1 MiB) and in nesting depth, so a hostile document costs little.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/ElementArray.h"
#include "ports/DocumentFetcher.h"
#include "update/XmlNameTable.h"
#include "update/XmlParser.h"

namespace lumatag {

class XmlLoader;

// What a concrete document does with the loader's events. Each hook reports its own problems
// (ReportElementProblem, ReportAttributeProblem) before it returns a failure; a hook may return
// E_CANCELLED to end the load early without a message.
class XmlDocumentHandler {
 public:
  virtual ~XmlDocumentHandler() = default;
  virtual Status StartDocument() { return S_OK; }
  virtual Status EndDocument() { return S_OK; }
  virtual Status BeginElement(std::uint16_t elementId) = 0;
  virtual Status EndElement(std::uint16_t elementId) = 0;
  virtual Status Attribute(std::uint16_t elementId, std::uint16_t attributeId,
                           std::u16string_view value) = 0;

  // The loader this handler was given to (set by InitXmlLoader).
  XmlLoader* Loader() const { return loader_; }

 private:
  friend Status InitXmlLoader(XmlLoader& loader, XmlDocumentHandler* handler);
  XmlLoader* loader_ = nullptr;
};

struct XmlLoaderLimits {
  std::size_t maxDocumentBytes = 1024 * 1024;
  int maxDepth = 32;
};

class XmlLoader final : private XmlEventSink {
 public:
  // Flags.
  static constexpr std::uint32_t kProblemReported = 0x1;
  static constexpr std::uint32_t kSourceIsUrl = 0x2;

  // `fetcher` is needed only for web addresses.
  XmlLoader(AppContext& context, XmlEventParser& parser, DocumentFetcher* fetcher = nullptr,
            XmlLoaderLimits limits = {});
  ~XmlLoader() override;
  XmlLoader(const XmlLoader&) = delete;
  XmlLoader& operator=(const XmlLoader&) = delete;

  std::uint32_t Flags() const { return flags_; }
  const XmlNameTable& Names() const { return names_; }
  // The open elements, outermost first (the element whose hook runs is the last).
  int Depth() const { return stack_.Count(); }
  std::uint16_t OpenElement(int index) const;
  // The element that encloses the innermost open one, 0 at the root.
  std::uint16_t ParentElement() const;

 private:
  friend Status InitXmlLoader(XmlLoader& loader, XmlDocumentHandler* handler);
  friend Status SetXmlSource(XmlLoader& loader, std::u16string_view text, bool isUrl);
  friend Status SetXmlDocument(XmlLoader& loader, std::string document);
  friend Status ParseXml(XmlLoader& loader);
  friend void ReleaseXmlLoader(XmlLoader& loader);
  friend void ReportLoadProblem(XmlLoader& loader, std::uint16_t messageId,
                                std::u16string_view text, std::u16string_view name, bool ignorable,
                                bool excludeTop);

  // XmlEventSink.
  void SetDocumentLocator(const XmlLocator* locator) override { locator_ = locator; }
  Status StartDocument() override;
  Status EndDocument() override;
  Status StartElement(std::u16string_view localName,
                      std::span<const XmlAttributeView> attributes) override;
  Status EndElement(std::u16string_view localName) override;
  Status FatalError(Status status, std::u16string_view text) override;

  Status Fail(Status status) {
    flags_ |= kProblemReported;
    return status;
  }

  AppContext& context_;
  XmlEventParser& parser_;
  DocumentFetcher* fetcher_;
  XmlLoaderLimits limits_;
  std::uint32_t flags_ = 0;
  XmlNameTable names_;
  std::u16string source_;
  std::string document_;
  bool haveSource_ = false;
  bool initialised_ = false;
  XmlDocumentHandler* handler_ = nullptr;
  const XmlLocator* locator_ = nullptr;
  // Open elements: the name id in the low 32 bits.
  ElementArray<std::uint64_t> stack_{5};
};

// Prepares a loader for one load with its handler: fills the name table, creates the element
// stack. E_INVALIDARG without a handler, E_UNEXPECTED for a loader already in use.
Status InitXmlLoader(XmlLoader& loader, XmlDocumentHandler* handler);
// The source: a web address (fetched when parsed) or a file path (read now). E_UNEXPECTED when
// the loader is not initialised or already has a source. A file larger than the cap gives
// E_DOCUMENT_TOO_LARGE.
Status SetXmlSource(XmlLoader& loader, std::u16string_view text, bool isUrl);
// The source as bytes in memory.
Status SetXmlDocument(XmlLoader& loader, std::string document);
// Reads the source to its end: S_OK, E_CANCELLED when a handler ended it early, or the failure
// that ended it (reported once, except a handler's end-of-element failures).
Status ParseXml(XmlLoader& loader);
// Lets go of the source, the handler and the element stack; the loader can be initialised again.
void ReleaseXmlLoader(XmlLoader& loader);

// Whether a source text is a web address: a ":" anywhere but after a drive letter.
bool IsUrlSource(std::u16string_view text);

// For handlers. E_INVALID_INPUT → "Element <{1}> was not expected in the current context." (with
// the element in the context), otherwise "An error occurred loading element <{1}>." (without it);
// returns the status when it is a failure, else E_UNEXPECTED.
Status ReportElementProblem(XmlLoader& loader, Status status, std::uint16_t elementId);
// A success status: the attribute is not allowed there (E_UNEXPECTED); E_INVALID_INPUT: the value
// is invalid; another failure: the attribute could not be loaded. Failures are returned unchanged.
Status ReportAttributeProblem(XmlLoader& loader, Status status, std::uint16_t attributeId);

// Shows one problem of the load (unless one was shown already): the line and column when the
// parser is inside the document, the open elements (without the innermost when `excludeTop`), the
// message (entry `messageId` with "{1}" = `name`, or the ready `text` when messageId is 0) and
// whether the load goes on.
void ReportLoadProblem(XmlLoader& loader, std::uint16_t messageId, std::u16string_view text,
                       std::u16string_view name, bool ignorable, bool excludeTop);

// A count attribute: an unsigned 32-bit decimal number, else E_INVALID_INPUT. A number below 1 or
// above `maximum` becomes 5 with the result SETTING_DEFAULTED (the value was defaulted).
Status ParseCountAttribute(std::u16string_view value, std::uint32_t maximum, std::uint32_t* count);

}  // namespace lumatag
