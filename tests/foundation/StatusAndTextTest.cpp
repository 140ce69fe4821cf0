#include <cerrno>

#include <gtest/gtest.h>

#include "foundation/Status.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

TEST(StatusTest, RuntimeErrorNumbers) {
  struct Case {
    int error;
    Status status;
  };
  for (const Case& c :
       {Case{0, S_OK}, Case{ENOMEM, E_OUTOFMEMORY}, Case{EAGAIN, E_OUTOFMEMORY},
        Case{EFAULT, E_HANDLE}, Case{ENXIO, E_HANDLE}, Case{ENOENT, E_NOT_FOUND},
        Case{ESRCH, E_NOT_FOUND}, Case{ENOSYS, E_NOT_FOUND}, Case{EEXIST, E_FILE_EXISTS},
        Case{EINVAL, E_INVALIDARG}, Case{E2BIG, E_INVALIDARG}, Case{ERANGE, E_VALUE_OUT_OF_RANGE},
        Case{EPIPE, E_FAIL}}) {
    EXPECT_STATUS(c.status, StatusFromErrno(c.error)) << c.error;
  }
}

TEST(StatusTest, ImagingStatuses) {
  EXPECT_STATUS(S_OK, StatusFromImaging(ImagingStatus::Ok));
  EXPECT_STATUS(E_INVALIDARG, StatusFromImaging(ImagingStatus::InvalidParameter));
  EXPECT_STATUS(E_OUTOFMEMORY, StatusFromImaging(ImagingStatus::OutOfMemory));
  EXPECT_STATUS(E_NOTIMPL, StatusFromImaging(ImagingStatus::NotImplemented));
  EXPECT_STATUS(E_ABORT, StatusFromImaging(ImagingStatus::Aborted));
  EXPECT_STATUS(E_FILE_NOT_FOUND, StatusFromImaging(ImagingStatus::FileNotFound));
  EXPECT_STATUS(E_VALUE_OUT_OF_RANGE, StatusFromImaging(ImagingStatus::ValueOverflow));
  EXPECT_STATUS(E_FAIL, StatusFromImaging(ImagingStatus::WrongState));
}

TEST(StatusTest, LastErrorBecomesAWin32Status) {
  EXPECT_STATUS(E_PATH_NOT_FOUND, StatusFromLastError(3, E_FAIL));
  EXPECT_STATUS(MakeStatus(0x80070716), StatusFromLastError(0x10716, E_FAIL));
  EXPECT_STATUS(E_RESOURCE_NOT_FOUND, StatusFromLastError(0, E_RESOURCE_NOT_FOUND));
}

}  // namespace
}  // namespace lumatag
