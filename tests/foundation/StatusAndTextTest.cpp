#include <cerrno>

#include <gtest/gtest.h>

#include "foundation/Status.h"
#include "foundation/TextComparer.h"
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

TEST(InvariantCompareTest, CaseAndPunctuation) {
  EXPECT_EQ(CompareInvariant(u"apple", u"APPLE", true), 0);
  EXPECT_NE(CompareInvariant(u"apple", u"APPLE", false), 0);
  EXPECT_EQ(CompareInvariant(u"apple", u"banana", false), -1);
  EXPECT_EQ(CompareInvariant(u"banana", u"apple", true), 1);
  // Hyphens and apostrophes count like other characters.
  EXPECT_NE(CompareInvariant(u"co-op", u"coop", true), 0);
  EXPECT_NE(CompareInvariant(u"its", u"it's", true), 0);
  EXPECT_EQ(CompareInvariant(u"", u"", false), 0);
  EXPECT_EQ(CompareInvariant(u"a", u"", false), 1);
}

TEST(InvariantCompareTest, AnInstalledComparerIsUsed) {
  struct Reversed : TextComparer {
    int Compare(std::u16string_view a, std::u16string_view b, bool) const override {
      return a < b ? 1 : (a == b ? 0 : -1);
    }
  } reversed;
  SetTextComparer(&reversed);
  const int r = CompareInvariant(u"a", u"b", false);
  SetTextComparer(nullptr);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(CompareInvariant(u"a", u"b", false), -1);
}

}  // namespace
}  // namespace lumatag
