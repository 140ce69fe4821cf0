// The texts of the About and Contact boxes, prepared from the string table and the program's
// identity compiled in from the build.
#pragma once

#include <string>

#include "foundation/ProductInfo.h"
#include "foundation/StringTable.h"

namespace lumatag {

inline constexpr int kContactDialogId = 32000;

struct AboutContent {
  std::u16string title;         // "About Lumatag"
  std::u16string versionLine;   // the application title with its version
  std::u16string makerLine;     // the maker's line
  std::u16string websiteLabel;  // "Website:"
  std::u16string websiteUrl;    // the link opens this address
  std::u16string note;          // one more line
};

struct ContactContent {
  std::u16string title;       // "Contact {maker}"
  std::u16string text;        // "For help, … improve {title}:"
  std::u16string emailLabel;  // "&Email us at:"
  std::u16string email;       // the read-only edit
};

// `appTitle` is the application title (the string-table entry in the current language).
Status MakeAboutContent(const StringModule& module, const ProductInfo& product,
                        std::u16string_view appTitle, AboutContent* content);
Status MakeContactContent(const StringModule& module, const ProductInfo& product,
                          std::u16string_view appTitle, ContactContent* content);

}  // namespace lumatag
