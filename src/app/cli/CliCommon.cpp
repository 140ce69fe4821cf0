#include "app/cli/CliCommon.h"

#include <cstdio>
#include <cstring>

#include "foundation/StringTableText.h"

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

std::string Escaped(std::u16string_view text) {
  return EscapeStringTableText(text);
}

int UsageError(const char* name) {
  for (const Command& command : Commands()) {
    if (std::strcmp(command.name, name) == 0) {
      std::fprintf(stderr, "usage: lumatag-cli %s %s\n", command.name, command.usage);
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
