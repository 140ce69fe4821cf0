// lumatag-cli pattern: the output contract of compile and list.
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

struct PatternRun {
  std::string out;
  int status;
};

std::string Quoted(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs the program with `arguments` (each quoted for the shell) and `environment` in front.
PatternRun RunPattern(const std::vector<std::string>& arguments,
                      const std::string& environment = "") {
  std::string command = environment + " " + LUMATAG_CLI + " pattern";
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  PatternRun run{"", -1};
  FILE* pipe = popen((command + " 2>/dev/null </dev/null").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(PatternCliTest, CompilePrintsTheSummaryAndOneLinePerToken) {
  const PatternRun run = RunPattern({"compile", "[name];[name] ([2])"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "ok\nclauses\t2\nseparator\t6\nwords\t30\n"
            "name\tbase\nseparator\nname\tbase\nliteral\t (\nnumber\tauto\t2\t1\nliteral\t)\n");
}

TEST(PatternCliTest, CompileShowsEveryKindOfToken) {
  const PatternRun run = RunPattern(
      {"compile", "[date:file \"yyyy\"] [1:orig][[][metadata:Copyright]", "--insertion", "3"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "ok\nclauses\t1\nseparator\t-1\nwords\t31\ninsertion\t18\n"
            "date\tfile\tyyyy\nliteral\t \nnumber\torig\t1\t1\nliteral\t[\nmetadata\t0x8298\n");
}

TEST(PatternCliTest, CompileFailurePrintsThePositionedMessage) {
  PatternRun run = RunPattern({"compile", "[date \"H:mm\"]"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Error: Position 9: An invalid character was found in the current context.\n");
  run = RunPattern({"compile", ""});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Error: Position 1: The clause definition cannot be empty.\n");
}

TEST(PatternCliTest, BadArgumentsAreUsageErrors) {
  EXPECT_EQ(RunPattern({}).status, 2);
  EXPECT_EQ(RunPattern({"compile"}).status, 2);
  EXPECT_EQ(RunPattern({"compile", "[name]", "--insertion"}).status, 2);
  EXPECT_EQ(RunPattern({"compile", "[name]", "--insertion", "-1"}).status, 2);
  EXPECT_EQ(RunPattern({"compile", "[name]", "--at", "1"}).status, 2);
}

}  // namespace
}  // namespace lumatag
