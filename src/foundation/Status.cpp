#include "foundation/Status.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace lumatag {

Status StatusFromErrno(int error) {
  switch (error) {
    case 0:
      return S_OK;
    case ENOMEM:
    case EAGAIN:
      return E_OUTOFMEMORY;
    case EFAULT:
    case ENXIO:
      return E_HANDLE;
    case ENOENT:
    case ESRCH:
    case ENOSYS:
      return E_NOT_FOUND;
    case EEXIST:
      return E_FILE_EXISTS;
    case EINVAL:
    case E2BIG:
      return E_INVALIDARG;
    case ERANGE:
      return E_VALUE_OUT_OF_RANGE;
#ifdef STRUNCATE
    case STRUNCATE:
      return E_TRUNCATED;
#endif
    default:
      return E_FAIL;
  }
}

Status StatusFromImaging(ImagingStatus status) {
  switch (status) {
    case ImagingStatus::Ok:
      return S_OK;
    case ImagingStatus::InvalidParameter:
      return E_INVALIDARG;
    case ImagingStatus::OutOfMemory:
      return E_OUTOFMEMORY;
    case ImagingStatus::NotImplemented:
      return E_NOTIMPL;
    case ImagingStatus::Aborted:
      return E_ABORT;
    case ImagingStatus::FileNotFound:
      return E_FILE_NOT_FOUND;
    case ImagingStatus::ValueOverflow:
      return E_VALUE_OUT_OF_RANGE;
    default:
      return E_FAIL;
  }
}

void FatalError(const char* what) {
  std::fprintf(stderr, "Fatal error 0x%08X: %s\n", static_cast<unsigned>(kFatalExitStatus), what);
  std::fflush(stderr);
  std::_Exit(static_cast<int>(kFatalExitStatus));
}

}  // namespace lumatag
