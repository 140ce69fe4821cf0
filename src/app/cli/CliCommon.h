// The command-line front-end's shared pieces: the command registry and the context every command
// runs in (an application context whose messages go to the terminal).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
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

// The one escaping of every field the command-line front-end prints, so that no name or metadata
// text can move the cursor, clear the screen or forge a line: backslash as "\\", line feed as "\n",
// tab as "\t", any other C0 control character and DEL as "\xHH", C1 control characters and the
// line and paragraph separators as "\uXXXX", and a byte of a file name that is not valid UTF-8 as
// "\xHH" (that byte). Ordinary text passes unchanged.
std::string Escaped(std::u16string_view text);
// The same for a message meant to be read: its line breaks and backslashes stay as they are.
std::string EscapedMessage(std::u16string_view text);
// The text the program works with for a command-line argument: the bytes of a path survive the
// round trip to the file system unchanged, even when they are not valid UTF-8.
std::u16string ArgumentText(std::string_view argument);
// The usage text's note on how printed texts are escaped.
extern const char* const kEscapingNote;
// Standard output is buffered (each line of a terminal still goes out at once); whatever goes to
// standard error goes through this, which first sends out what standard output holds, so that the
// two keep the order they were written in.
void BufferStandardOutput();
std::FILE* ErrorOutput();
// Prints "usage: lumatag-cli NAME USAGE" on standard error and returns 2.
int UsageError(const char* name);
// A status as "0x" and eight hexadecimal digits.
std::string StatusText(Status status);

}  // namespace lumatag::cli
