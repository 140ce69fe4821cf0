// lumatag-cli strings: the built-in string table sorted by identifier, one entry a line.
#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliCommon.h"

namespace lumatag::cli {

namespace {

int RunStrings(CliContext& context, const std::vector<std::string>& args) {
  if (!ArgumentReader({}).Read(args, 0, 0)) return UsageError("strings");
  const StringModule& module = *context.app.programModule;
  for (std::uint16_t id : module.Ids()) {
    std::printf("%u\t%s\n", static_cast<unsigned>(id), Escaped(module.Text(id)).c_str());
  }
  return 0;
}

}  // namespace

LT_CLI_COMMAND(strings, "strings", "", RunStrings);

}  // namespace lumatag::cli
