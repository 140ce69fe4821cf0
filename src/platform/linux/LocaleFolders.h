// Where the translated string tables live and which one the environment asks for. A locale folder
// is named by its locale ("de", "de_DE") and holds "strings.txt". The folders sit beside the
// program (the build tree) or in ../share/lumatag next to its bin folder (an installed program);
// both are found from the program's own location, so neither depends on the working folder.
#pragma once

#include <string>
#include <vector>

#include "foundation/StringTable.h"

namespace lumatag {

// The folders that may hold locale folders, in the order they are searched: the program's own
// folder, then <program folder>/../share/lumatag. Empty when the program's location is unknown.
std::vector<std::string> LocaleSearchFolders();
// The same for a program in `folder`. A helper program installed in <prefix>/libexec/lumatag
// also searches <prefix>/share/lumatag.
std::vector<std::string> LocaleSearchFoldersFor(const std::string& folder);

// The folder of the running program (from /proc/self/exe); empty when it cannot be read.
std::string ProgramFolder();

// The locale names the environment asks for, most specific first: from the first non-empty of
// LC_ALL, LC_MESSAGES and LANG, "de_DE.UTF-8" gives {"de_DE", "de"}. "C", "POSIX" and English
// locales give nothing (English is built in).
std::vector<std::string> WantedLocales(const char* lcAll, const char* lcMessages, const char* lang);
std::vector<std::string> WantedLocalesFromEnvironment();

// Loads the table of the first wanted locale found in the search folders into `module` and
// returns its locale name; returns an empty name (and leaves `module` alone) when none is wanted
// or none loads, so the caller keeps the built-in English table.
std::string LoadLocaleStringTable(const std::vector<std::string>& wanted,
                                  const std::vector<std::string>& folders, StringModule* module);

}  // namespace lumatag
