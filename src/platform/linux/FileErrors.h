// The file system's error numbers to statuses, for the Linux implementations of the file ports.
// Error numbers with no file-specific meaning go through the runtime library's table
// (StatusFromErrno).
#pragma once

#include <cerrno>

#include "foundation/Status.h"

namespace lumatag {

inline Status StatusFromFileError(int error) {
  switch (error) {
    case ENOENT:
      return E_FILE_NOT_FOUND;
    case ENOTDIR:
      return E_PATH_NOT_FOUND;
    case EEXIST:
    case ENOTEMPTY:
      return E_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return E_ACCESS_DENIED;
    case ENAMETOOLONG:
      return MakeStatus(0x800700CE);  // file name too long
    case ENOSPC:
      return MakeStatus(0x80070070);  // disk full
    case EXDEV:
      return MakeStatus(0x80070011);  // not the same device
    default:
      return StatusFromErrno(error);
  }
}

}  // namespace lumatag
