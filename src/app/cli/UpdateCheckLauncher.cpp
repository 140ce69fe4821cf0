// lumatag-cli update-check runs lumatag-update-check with the same arguments in its place: the
// check needs Qt Network, which no other command of lumatag-cli loads. The program is looked for
// beside lumatag-cli (a build) and in ../libexec/lumatag (an installation).
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/UpdateCheckCommand.h"
#include "platform/linux/LocaleFolders.h"

namespace lumatag::cli {

namespace {

constexpr char kProgram[] = "lumatag-update-check";

int RunUpdateCheckProgram(CliContext&, const std::vector<std::string>& args) {
  const std::string folder = ProgramFolder();
  std::string program;
  for (const std::string& candidate :
       {folder + "/" + kProgram, folder + "/../libexec/lumatag/" + kProgram}) {
    if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
      program = candidate;
      break;
    }
  }
  if (program.empty()) {
    std::fprintf(ErrorOutput(), "lumatag-cli: %s is not installed beside lumatag-cli\n", kProgram);
    return 1;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  argv.push_back(const_cast<char*>("update-check"));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // Whatever this program has written goes out before the other one takes over.
  std::fflush(stdout);
  std::fflush(stderr);
  ::execv(program.c_str(), argv.data());
  const int error = errno;
  std::fprintf(ErrorOutput(), "lumatag-cli: cannot run %s: %s\n", program.c_str(),
               std::strerror(error));
  return 1;
}

}  // namespace

LT_CLI_COMMAND(version, "--version", kVersionUsage, RunVersion);
LT_CLI_COMMAND(update_check, "update-check", kUpdateCheckUsage, RunUpdateCheckProgram);

}  // namespace lumatag::cli
