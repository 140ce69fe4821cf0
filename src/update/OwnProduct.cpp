#include "update/OwnProduct.h"

#if !defined(LUMATAG_PRODUCT_NAME) || !defined(LUMATAG_PRODUCT_VERSION)
#error "the build defines LUMATAG_PRODUCT_NAME and LUMATAG_PRODUCT_VERSION"
#endif

namespace lumatag {

std::u16string_view OwnProductName() {
  return u"" LUMATAG_PRODUCT_NAME;
}

std::u16string_view OwnProductVersion() {
  return u"" LUMATAG_PRODUCT_VERSION;
}

}  // namespace lumatag
