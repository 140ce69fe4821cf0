// lumatag-cli: Lumatag's batch and inspection front-end. Each command lives in a file of its own
// and registers itself; this file only dispatches.
#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/cli/CliCommon.h"
#include "foundation/StringTable.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/LocaleFolders.h"
#include "ports/Messages.h"

namespace {

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: lumatag-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
  for (const lumatag::cli::Command& command : lumatag::cli::Commands()) {
    std::fprintf(out, "  %s %s\n", command.name, command.usage);
  }
  std::fprintf(out, "\n%s", lumatag::cli::kEscapingNote);
}

// The texts the commands print follow the environment's locale when a translated table for it is
// installed; English, built in, otherwise. Value names and the version document's address always
// come from the program's own (English) table.
void ChooseUiStrings(lumatag::AppContext& app) {
  static lumatag::StringModule translated;
  if (!lumatag::LoadLocaleStringTable(lumatag::WantedLocalesFromEnvironment(),
                                      lumatag::LocaleSearchFolders(), &translated)
           .empty()) {
    app.resourceModule = &translated;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  lumatag::cli::BufferStandardOutput();
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  lumatag::cli::CliContext context;
  context.app.presenter = &context.terminal;
  context.app.InstallTextComparer(&lumatag::PlatformTextComparer());
  lumatag::InstallOutOfMemoryMessage(context.app);
  ChooseUiStrings(context.app);
  // The title is a built-in text; without it boxes go without a title.
  lumatag::IgnoreStatus(
      lumatag::LoadString(*context.app.programModule, lumatag::IDS_APP_TITLE, context.app.title));

  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const lumatag::cli::Command& command : lumatag::cli::Commands()) {
    if (std::strcmp(command.name, argv[1]) == 0) return command.run(context, args);
  }
  std::fprintf(lumatag::cli::ErrorOutput(), "lumatag-cli: unknown command '%s'\n",
               lumatag::cli::Escaped(lumatag::cli::ArgumentText(argv[1])).c_str());
  PrintHelp(stderr);
  return 2;
}
