#include "foundation/ProductInfo.h"

#ifndef LUMATAG_VERSION_TEXT
#error "the build defines LUMATAG_VERSION_TEXT"
#endif

namespace lumatag {

const ProductInfo& BuiltInProductInfo() {
  static const ProductInfo info{
      u"Lumatag",
      u"" LUMATAG_VERSION_TEXT,
      u"Quarrytree Software",
      u"http://www.quarrytreesoftware.com",
      u"support@quarrytreesoftware.com",
      LUMATAG_VERSION_TEXT,
  };
  return info;
}

}  // namespace lumatag
