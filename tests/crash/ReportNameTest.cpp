// Report names and report file names: the time arithmetic done without library calls agrees with
// the C library, and the search recognises ".dmp" in any letter case.
#include "crash/ReportName.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "crash/CrashReportFolder.h"

namespace lumatag {
namespace {

std::string Name(std::int64_t seconds, std::int64_t offset) {
  char name[kReportNameSize];
  FormatReportName(seconds, offset, name);
  return name;
}

TEST(ReportNameTest, AgreesWithTheCLibrary) {
  const std::int64_t instants[] = {
      0,           -1,         951782400,     // 2000-02-29
      951868799,   4107542400,                // 2100-03-01
      1394028429,  1709251199, 253402300799,  // 9999-12-31 23:59:59
      -2208988800,                            // 1900-01-01
  };
  const std::int64_t offsets[] = {0, 3600, -5 * 3600, 5 * 3600 + 45 * 60, -12 * 3600, 14 * 3600};
  for (const std::int64_t instant : instants) {
    for (const std::int64_t offset : offsets) {
      const time_t local = static_cast<time_t>(instant + offset);
      tm parts{};
      ASSERT_NE(gmtime_r(&local, &parts), nullptr);
      char expected[64];
      std::strftime(expected, sizeof expected, "LTGv1_%Y%m%d%H%M%S.dmp", &parts);
      if (parts.tm_year + 1900 > 9999) continue;
      EXPECT_EQ(Name(instant, offset), expected) << instant << " " << offset;
    }
  }
}

TEST(ReportNameTest, ExampleCrash) {
  // 5 March 2014, 14:07:09 local time, one hour east of UTC.
  EXPECT_EQ(Name(1394024829, 3600), "LTGv1_20140305140709.dmp");
}

TEST(ReportNameTest, ReportFilesInAnyLetterCase) {
  struct Case {
    const char* name;
    bool report;
  };
  const Case cases[] = {{"LTGv1_20140305140709.dmp", true},
                        {"x.DMP", true},
                        {"x.DmP", true},
                        {".dmp", true},
                        {"dmp", false},
                        {"x.dmp.txt", false},
                        {"x.dm", false},
                        {"crash-pending", false},
                        {"", false}};
  for (const Case& c : cases) EXPECT_EQ(IsReportFileName(c.name), c.report) << c.name;
}

}  // namespace
}  // namespace lumatag
