// Report names and report file names: the time arithmetic done without library calls agrees with
// the C library, and the search recognises ".dmp" in any letter case.
#include "crash/ReportName.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// Sets TZ for one test and restores it afterwards.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old, had_ = true;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (had_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

TEST(ReportNameTest, OffsetTableFollowsSummerTime) {
  const char* zones[] = {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "AEST-10AEDT,M10.1.0,M4.1.0/3",
                         "NPT-5:45"};
  const std::int64_t start = 1704067200;  // 2024-01-01 00:00:00 UTC
  for (const char* zone : zones) {
    ZoneScope scope(zone);
    UtcOffsetTable table;
    table.Build(start, 550);
    // Every hour of the covered span, and the seconds around each hour.
    for (std::int64_t t = start; t < start + 540LL * 86400; t += 3600) {
      for (const std::int64_t probe : {t - 1, t, t + 1}) {
        const time_t at = static_cast<time_t>(probe);
        tm local{};
        ASSERT_NE(localtime_r(&at, &local), nullptr);
        ASSERT_EQ(table.OffsetAt(probe), local.tm_gmtoff) << zone << " at " << probe;
      }
    }
  }
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
