// The XML parser under the loader: Qt Core's QXmlStreamReader, reporting elements and attributes
// only. Entity expansion is limited, so a document cannot make the reader build huge texts.
#pragma once

#include "update/XmlParser.h"

namespace lumatag {

class QtXmlEventParser final : public XmlEventParser {
 public:
  // The most characters one entity reference may expand to.
  static constexpr int kEntityExpansionLimit = 1024;

  Status Parse(std::string_view document, XmlEventSink& sink) override;
};

}  // namespace lumatag
