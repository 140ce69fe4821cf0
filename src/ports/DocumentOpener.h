// Port: hands a web page or a document to the desktop (the browser, the PDF viewer). Only web
// addresses (http, https) and local files (file) are ever handed over; anything else is refused,
// so text from outside (a version document, a setting) can never start another program.
#pragma once

#include <string_view>

#include "foundation/Status.h"

namespace lumatag {

class DocumentOpener {
 public:
  virtual ~DocumentOpener() = default;
  // Opens an http, https or file address. E_INVALIDARG for any other address, E_FAIL when the
  // desktop could not open it.
  virtual Status OpenUrl(std::u16string_view url) = 0;
  // Opens a local file (the user guide, the licence agreement, a help page) by its path.
  virtual Status OpenDocument(std::u16string_view path) = 0;
};

}  // namespace lumatag
