// The locale-neutral text comparison over ICU's root collator, for programs and tests to install in
// their application context.
#pragma once

#include "ports/TextComparer.h"

namespace lumatag {

const TextComparer& PlatformTextComparer();

}  // namespace lumatag
