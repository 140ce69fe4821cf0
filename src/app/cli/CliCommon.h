// The command-line front-end's shared pieces: the command registry and the context every command
// runs in (an application context whose messages go to the terminal).
#pragma once

#include <string>
#include <vector>

#include "foundation/AppContext.h"
#include "platform/linux/TerminalMessagePresenter.h"

namespace lumatag::cli {

struct CliContext {
  AppContext app;
  TerminalMessagePresenter terminal;
};

using CommandFunction = int (*)(CliContext& context, const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;  // the arguments after the command's name
  CommandFunction run;
};

// Registers a command at start-up; used through LT_CLI_COMMAND.
struct CommandRegistrar {
  CommandRegistrar(const char* name, const char* usage, CommandFunction run);
};
const std::vector<Command>& Commands();

#define LT_CLI_COMMAND(id, name, usage, function) \
  static const ::lumatag::cli::CommandRegistrar lt_cli_command_##id(name, usage, function)

// Writes the text in the escaped form of the string table ("\\", "\n", "\t").
std::string Escaped(std::u16string_view text);
// Prints "usage: lumatag-cli NAME USAGE" on standard error and returns 2.
int UsageError(const char* name);
// A status as "0x" and eight hexadecimal digits.
std::string StatusText(Status status);

}  // namespace lumatag::cli
