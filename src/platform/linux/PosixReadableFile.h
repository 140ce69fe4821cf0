// Files for reading over POSIX descriptors.
#pragma once

#include "ports/ReadableFile.h"

namespace lumatag {

// The platform's own file system.
const ReadableFileSystem& PlatformReadableFileSystem();

}  // namespace lumatag
