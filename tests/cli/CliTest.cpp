// Runs lumatag-cli as a script would and checks its output contracts.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "foundation/StringTable.h"

namespace lumatag {
namespace {

TEST(CliStringsTest, PrintsTheWholeTableSortedAndEscaped) {
  const CliRun run = RunCli("strings");
  ASSERT_EQ(run.status, 0);
  std::string expected;
  for (std::uint16_t id : StringModule::BuiltIn().Ids()) {
    expected +=
        std::to_string(id) + "\t" + EscapeStringTableText(StringModule::BuiltIn().Text(id)) + "\n";
  }
  EXPECT_EQ(run.out, expected);
  EXPECT_NE(run.out.find("21644\tOut of memory.\n"), std::string::npos);
  EXPECT_NE(run.out.find("22113\tPattern: {1}\\nAn error occurred at character {2}.\\n\\n{3}\n"),
            std::string::npos);
}

TEST(CliTest, UnknownCommandAndMissingCommandFail) {
  EXPECT_NE(RunCli("no-such-command").status, 0);
  EXPECT_NE(RunCli("").status, 0);
  EXPECT_NE(RunCli("strings extra").status, 0);
}

}  // namespace
}  // namespace lumatag
