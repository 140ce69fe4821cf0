#include "foundation/SystemTime.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

TEST(SystemTimeTest, FileTimeZeroIsTheStartOf1601) {
  SystemTime t;
  t.year = 0;
  ASSERT_OK(FileTimeToSystemTime(0, &t));
  EXPECT_EQ(t, SystemTime{});
  FileTime back = 1;
  ASSERT_OK(SystemTimeToFileTime(t, &back));
  EXPECT_EQ(back, 0u);
}

TEST(SystemTimeTest, RoundTripsThroughKnownDates) {
  struct Case {
    SystemTime time;
    std::int64_t unixSeconds;
  };
  for (const Case& c :
       {Case{{1970, 1, 4, 1, 0, 0, 0, 0}, 0}, Case{{2012, 12, 5, 28, 13, 5, 0, 0}, 1356699900},
        Case{{2000, 2, 2, 29, 23, 59, 59, 0}, 951868799},
        Case{{2038, 1, 2, 19, 3, 14, 8, 0}, 2147483648LL}}) {
    const FileTime ft = FileTimeFromUnix(c.unixSeconds, 0);
    SystemTime t;
    ASSERT_OK(FileTimeToSystemTime(ft, &t));
    EXPECT_EQ(t, c.time) << c.unixSeconds;
    FileTime back = 0;
    ASSERT_OK(SystemTimeToFileTime(c.time, &back));
    EXPECT_EQ(back, ft);
    EXPECT_EQ(DayOfWeek(c.time.year, c.time.month, c.time.day), c.time.dayOfWeek);
  }
}

TEST(SystemTimeTest, RefusesFieldsOutOfRange) {
  FileTime ft;
  for (const SystemTime& t :
       {SystemTime{1600, 12, 0, 31, 0, 0, 0, 0}, SystemTime{2013, 2, 0, 29, 0, 0, 0, 0},
        SystemTime{2013, 13, 0, 1, 0, 0, 0, 0}, SystemTime{2013, 1, 0, 1, 24, 0, 0, 0},
        SystemTime{2013, 1, 0, 1, 0, 0, 0, 1000}}) {
    EXPECT_STATUS(E_INVALIDARG, SystemTimeToFileTime(t, &ft));
  }
  SystemTime t;
  EXPECT_STATUS(E_INVALIDARG, FileTimeToSystemTime(~FileTime{0}, &t));
}

}  // namespace
}  // namespace lumatag
