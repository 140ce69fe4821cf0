// The program's own identity, compiled in from the build: product name, version, maker, the
// maker's web site and the support address. The About, Contact and Crash Log Available boxes and
// the crash reports show it.
#pragma once

#include <string_view>

namespace lumatag {

struct ProductInfo {
  std::u16string_view productName;
  std::u16string_view version;
  std::u16string_view maker;
  std::u16string_view website;
  std::u16string_view supportEmail;
  // The version as plain bytes, for places that cannot convert text (the crash handler).
  std::string_view versionBytes;
};

const ProductInfo& BuiltInProductInfo();

}  // namespace lumatag
