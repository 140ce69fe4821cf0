// Running lumatag-cli from the tests as a script would.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumatag {

struct CliRun {
  std::string out;  // standard output
  int status;       // exit status; -1 when the program did not exit normally
};

// `text` quoted for the shell.
std::string ShellQuoted(const std::string& text);
// Each argument quoted for the shell, joined by spaces.
std::string ShellArguments(const std::vector<std::string>& arguments);

// Runs a shell command line and collects its standard output.
CliRun RunShell(const std::string& command);

// Runs lumatag-cli with `arguments` (a shell fragment; quote with ShellQuoted or ShellArguments),
// `environment` assignments ("NAME=value ...") in front, standard input empty and standard error
// discarded.
CliRun RunCli(const std::string& arguments, const std::string& environment = "");

// Runs the shell command line `command` (output discarded) at the lowest priority, so that a
// watcher keeps up with it, and kills it with SIGKILL as soon as `stop` returns true, unless it
// ended by itself first. `stop` is asked every 0.1 ms; a deadline of two minutes only keeps a run
// that hangs from holding a test for ever. True when the command ended by itself.
bool RunUntilKilled(const std::string& command, const std::function<bool()>& stop);

}  // namespace lumatag
