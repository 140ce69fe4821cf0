#include "update/XmlLoader.h"

#include <cstdio>
#include <memory>

#include "ports/Messages.h"
#include "foundation/Numbers.h"

namespace lumatag {

namespace {

constexpr std::u16string_view kSectionBreak = u"\n\n";
constexpr std::size_t kShownNameLength = 200;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads at most `maxBytes` of a file; E_DOCUMENT_TOO_LARGE when there is more.
Status ReadDocumentFile(std::u16string_view path, std::size_t maxBytes, std::string* document) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(Utf16ToUtf8(path).c_str(), "rb"));
  if (!file) return E_FILE_NOT_FOUND;
  document->clear();
  char chunk[4096];
  for (;;) {
    const std::size_t read = std::fread(chunk, 1, sizeof chunk, file.get());
    if (read == 0) break;
    if (document->size() + read > maxBytes) return E_DOCUMENT_TOO_LARGE;
    document->append(chunk, read);
  }
  return std::ferror(file.get()) ? E_FAIL : S_OK;
}

// Appends a string-table entry with "{1}" (and "{2}") filled in.
Status AppendEntry(const StringModule& strings, std::uint16_t id, std::u16string_view first,
                   std::u16string_view second, CountedString& target) {
  CountedString entry;
  LT_TRY(LoadString(strings, id, entry));
  const auto present = [](std::u16string_view text) {
    return text.empty() ? std::u16string_view(u"") : text;
  };
  if (entry.FindText(u"{1}") >= 0) LT_TRY(SubstitutePlaceholder(entry, 1, present(first)));
  if (entry.FindText(u"{2}") >= 0) LT_TRY(SubstitutePlaceholder(entry, 2, present(second)));
  return target.Append(entry);
}

}  // namespace

XmlLoader::XmlLoader(AppContext& context, XmlEventParser& parser, DocumentFetcher* fetcher,
                     XmlLoaderLimits limits)
    : context_(context), parser_(parser), fetcher_(fetcher), limits_(limits) {}

XmlLoader::~XmlLoader() {
  ReleaseXmlLoader(*this);
}

std::uint16_t XmlLoader::OpenElement(int index) const {
  return static_cast<std::uint16_t>(stack_.At(index) & 0xFFFFu);
}

std::uint16_t XmlLoader::ParentElement() const {
  return stack_.Count() >= 2 ? OpenElement(stack_.Count() - 2) : 0;
}

Status XmlLoader::StartDocument() {
  const Status status = handler_->StartDocument();
  return Failed(status) ? Fail(status) : status;
}

Status XmlLoader::EndDocument() {
  const Status status = handler_->EndDocument();
  return Failed(status) ? Fail(status) : status;
}

Status XmlLoader::StartElement(std::u16string_view localName,
                               std::span<const XmlAttributeView> attributes) {
  const std::uint16_t id = names_.Lookup(localName);
  if (id == 0) {
    ReportLoadProblem(*this, IDS_XML_ELEMENT_NOT_EXPECTED, {}, localName, false, false);
    return Fail(E_FAIL);
  }
  if (stack_.Count() >= limits_.maxDepth) {
    ReportLoadProblem(*this, IDS_XML_ERROR_LOADING_ELEMENT, {}, localName, false, false);
    return Fail(E_VALUE_OUT_OF_RANGE);
  }
  const Status pushed = stack_.Add(id);
  if (Failed(pushed)) {
    ReportLoadProblem(*this, IDS_XML_ERROR_LOADING_ELEMENT, {}, localName, false, false);
    return Fail(pushed);
  }
  const Status begun = handler_->BeginElement(id);
  if (Failed(begun)) return Fail(begun);
  for (const XmlAttributeView& attribute : attributes) {
    const std::uint16_t attributeId = names_.Lookup(attribute.localName);
    if (attributeId == 0) {
      ReportLoadProblem(*this, IDS_XML_ATTRIBUTE_NOT_EXPECTED, {}, attribute.localName, false,
                        false);
      return Fail(E_FAIL);
    }
    const Status status = handler_->Attribute(id, attributeId, attribute.value);
    if (Failed(status)) return Fail(status);
  }
  return S_OK;
}

Status XmlLoader::EndElement(std::u16string_view localName) {
  const std::uint16_t id = names_.Lookup(localName);
  if (stack_.Count() == 0) return Fail(E_UNEXPECTED);
  const Status ended = handler_->EndElement(id);
  const std::uint16_t top = OpenElement(stack_.Count() - 1);
  stack_.RemoveAt(stack_.Count() - 1);
  if (Failed(ended)) return Fail(ended);
  if (top != id) return Fail(E_UNEXPECTED);
  return S_OK;
}

Status XmlLoader::FatalError(Status status, std::u16string_view text) {
  ReportLoadProblem(*this, 0, text, {}, false, false);
  return status;
}

Status InitXmlLoader(XmlLoader& loader, XmlDocumentHandler* handler) {
  if (handler == nullptr) return E_INVALIDARG;
  if (loader.initialised_) return E_UNEXPECTED;
  if (!loader.names_.IsFilled()) LT_TRY(loader.names_.Fill(*loader.context_.programModule));
  loader.stack_.Clear();
  LT_TRY(loader.stack_.Reserve(5));
  loader.handler_ = handler;
  handler->loader_ = &loader;
  loader.flags_ = 0;
  loader.initialised_ = true;
  return S_OK;
}

Status SetXmlSource(XmlLoader& loader, std::u16string_view text, bool isUrl) {
  if (!loader.initialised_ || loader.haveSource_) return E_UNEXPECTED;
  loader.flags_ &= ~XmlLoader::kSourceIsUrl;
  loader.source_.assign(text);
  if (!isUrl) {
    LT_TRY(ReadDocumentFile(text, loader.limits_.maxDocumentBytes, &loader.document_));
  } else {
    loader.flags_ |= XmlLoader::kSourceIsUrl;
  }
  loader.haveSource_ = true;
  return S_OK;
}

Status SetXmlDocument(XmlLoader& loader, std::string document) {
  if (!loader.initialised_ || loader.haveSource_) return E_UNEXPECTED;
  loader.flags_ &= ~XmlLoader::kSourceIsUrl;
  loader.document_ = std::move(document);
  loader.haveSource_ = true;
  return S_OK;
}

Status ParseXml(XmlLoader& loader) {
  if (!loader.initialised_ || !loader.haveSource_) return E_UNEXPECTED;
  if ((loader.flags_ & XmlLoader::kSourceIsUrl) != 0) {
    if (loader.fetcher_ == nullptr) return E_UNEXPECTED;
    FetchFailure failure;
    const Status fetched = loader.fetcher_->Fetch(loader.source_, loader.limits_.maxDocumentBytes,
                                                  &loader.document_, &failure);
    if (fetched == E_DOCUMENT_TOO_LARGE) {
      ReportLoadProblem(loader, IDS_BUFFER_TOO_SMALL, {}, {}, false, false);
      return fetched;
    }
    if (Failed(fetched)) {
      ReportLoadProblem(loader, 0, failure.text, {}, false, false);
      return fetched;
    }
  }
  if (loader.document_.size() > loader.limits_.maxDocumentBytes) {
    ReportLoadProblem(loader, IDS_BUFFER_TOO_SMALL, {}, {}, false, false);
    return E_DOCUMENT_TOO_LARGE;
  }
  loader.stack_.Clear();
  const Status status = loader.parser_.Parse(loader.document_, loader);
  loader.locator_ = nullptr;
  loader.stack_.Clear();
  return status;
}

void ReleaseXmlLoader(XmlLoader& loader) {
  loader.handler_ = nullptr;
  loader.locator_ = nullptr;
  loader.stack_.Free();
  loader.document_ = std::string();
  loader.source_.clear();
  loader.haveSource_ = false;
  loader.initialised_ = false;
  loader.flags_ &= ~XmlLoader::kSourceIsUrl;
}

bool IsUrlSource(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u':' && i != 1) return true;
  }
  return false;
}

void ReportLoadProblem(XmlLoader& loader, std::uint16_t messageId, std::u16string_view text,
                       std::u16string_view name, bool ignorable, bool excludeTop) {
  if ((loader.flags_ & XmlLoader::kProblemReported) != 0) return;
  loader.flags_ |= XmlLoader::kProblemReported;
  const StringModule& strings = *loader.context_.resourceModule;
  // A name from the document is shown only in part: a report is a few lines, whatever comes in.
  name = name.substr(0, kShownNameLength);
  CountedString report;
  const auto build = [&]() -> Status {
    if (loader.locator_ != nullptr) {
      CountedString line;
      CountedString column;
      LT_TRY(FormatInt32(line, loader.locator_->Line()));
      LT_TRY(FormatInt32(column, loader.locator_->Column()));
      LT_TRY(AppendEntry(strings, IDS_XML_LINE_COLUMN, line.View(), column.View(), report));
      LT_TRY(report.Append(kSectionBreak));
    }
    const int shown = loader.stack_.Count() - (excludeTop ? 1 : 0);
    if (shown > 0) {
      LT_TRY(AppendString(strings, IDS_XML_CONTEXT, report));
      for (int i = 0; i < shown; ++i) {
        LT_TRY(report.Append(u'<'));
        LT_TRY(report.Append(loader.names_.NameOf(loader.OpenElement(i))));
        LT_TRY(report.Append(u'>'));
      }
      LT_TRY(report.Append(kSectionBreak));
    }
    if (messageId != 0) {
      LT_TRY(AppendEntry(strings, messageId, name, {}, report));
    } else {
      LT_TRY(report.Append(text));
    }
    LT_TRY(report.Append(kSectionBreak));
    return AppendString(strings, ignorable ? IDS_XML_ERROR_IGNORED : IDS_XML_ERROR_ABORTED, report);
  };
  if (Failed(build())) return;  // out of memory: the report is dropped
  ShowMessage(loader.context_, report.CStr(), MB_OK | MB_ICONERROR);
}

Status ReportElementProblem(XmlLoader& loader, Status status, std::uint16_t elementId) {
  const std::u16string_view name = loader.Names().NameOf(elementId);
  if (status == E_INVALID_INPUT) {
    ReportLoadProblem(loader, IDS_XML_ELEMENT_NOT_EXPECTED, {}, name, false, false);
  } else {
    ReportLoadProblem(loader, IDS_XML_ERROR_LOADING_ELEMENT, {}, name, false, true);
  }
  return Failed(status) ? status : E_UNEXPECTED;
}

Status ReportAttributeProblem(XmlLoader& loader, Status status, std::uint16_t attributeId) {
  const std::u16string_view name = loader.Names().NameOf(attributeId);
  if (Succeeded(status)) {
    ReportLoadProblem(loader, IDS_XML_ATTRIBUTE_NOT_EXPECTED, {}, name, false, false);
    return E_UNEXPECTED;
  }
  ReportLoadProblem(
      loader,
      status == E_INVALID_INPUT ? IDS_XML_ATTRIBUTE_VALUE_INVALID : IDS_XML_ERROR_LOADING_ATTRIBUTE,
      {}, name, false, false);
  return status;
}

Status ParseCountAttribute(std::u16string_view value, std::uint32_t maximum, std::uint32_t* count) {
  std::uint32_t number = 0;
  if (Failed(ParseUInt32(value.data(), static_cast<int>(value.size()), &number))) {
    return E_INVALID_INPUT;
  }
  if (number < 1 || number > maximum) {
    *count = 5;
    return SETTING_DEFAULTED;
  }
  *count = number;
  return S_OK;
}

}  // namespace lumatag
