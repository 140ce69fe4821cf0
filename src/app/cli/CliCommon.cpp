#include "app/cli/CliCommon.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "foundation/TerminalText.h"
#include "platform/linux/NativePath.h"

namespace lumatag::cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

CommandRegistrar::CommandRegistrar(const char* name, const char* usage, CommandFunction run) {
  Registry().push_back({name, usage, run});
}

const std::vector<Command>& Commands() {
  return Registry();
}

const char* const kEscapingNote =
    "Printed names and texts are escaped: \\\\ for a backslash, \\n and \\t, \\xHH for any other\n"
    "control character, DEL or a byte of a name that is not UTF-8, and \\uXXXX for C1 control\n"
    "characters and U+2028, U+2029. Messages keep their line breaks and backslashes.\n";

std::string Escaped(std::u16string_view text) {
  return EscapeTerminalText(text, TerminalEscape::kField);
}

std::u16string ArgumentText(std::string_view argument) {
  return FromNativePath(argument);
}

std::string EscapedMessage(std::u16string_view text) {
  return EscapeTerminalText(text, TerminalEscape::kMessage);
}

void BufferStandardOutput() {
  // A terminal keeps its line buffering, so each line shows as it is printed. Elsewhere (a pipe, a
  // file) the output goes in large blocks rather than stdio's default of a few KiB.
  if (isatty(STDOUT_FILENO) == 1) return;
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

std::FILE* ErrorOutput() {
  std::fflush(stdout);
  return stderr;
}

int UsageError(const char* name) {
  for (const Command& command : Commands()) {
    if (std::strcmp(command.name, name) == 0) {
      std::fprintf(ErrorOutput(), "usage: lumatag-cli %s %s\n", command.name, command.usage);
    }
  }
  return 2;
}

std::string StatusText(Status status) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(status));
  return text;
}

}  // namespace lumatag::cli
