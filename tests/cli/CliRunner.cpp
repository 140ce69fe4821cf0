#include "CliRunner.h"

#include <sys/wait.h>

#include <cstdio>

namespace lumatag {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ShellArguments(const std::vector<std::string>& arguments) {
  std::string joined;
  for (const std::string& argument : arguments) {
    if (!joined.empty()) joined += ' ';
    joined += ShellQuoted(argument);
  }
  return joined;
}

CliRun RunShell(const std::string& command) {
  CliRun run{"", -1};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

CliRun RunCli(const std::string& arguments, const std::string& environment) {
  return RunShell("env " + environment + " " + LUMATAG_CLI + " " + arguments +
                  " 2>/dev/null </dev/null");
}

}  // namespace lumatag
