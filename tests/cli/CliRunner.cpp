#include "CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <gtest/gtest.h>

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

bool RunUntilKilled(const std::string& command, const std::function<bool()>& stop) {
  const pid_t child = fork();
  if (child < 0) {
    ADD_FAILURE() << "fork failed";
    return false;
  }
  if (child == 0) {
    setpriority(PRIO_PROCESS, 0, 19);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(child, &status, WNOHANG) == child) return true;
    if (stop()) break;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return false;
}

}  // namespace lumatag
