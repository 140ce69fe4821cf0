// What the naming commands share: the pattern catalogue and the photo file extension list as the
// settings give them, the pattern a command names, and photos read from files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/cli/CliCommon.h"
#include "metadata/PhotoFacts.h"
#include "patterns/KeywordTable.h"
#include "patterns/PatternCatalogue.h"
#include "workflow/ExtensionList.h"
#include "workflow/ExtensionListLookup.h"

namespace lumatag::cli {

struct NamingSetup {
  NamingSetup() : lookup(extensions) {}
  KeywordTable keywords;
  PatternCatalogue catalogue;
  ExtensionList extensions;
  ExtensionListLookup lookup;
};

// Builds the keyword table and the built-in patterns, then reads the stored patterns and the
// extension list from the settings without creating anything; with no settings the built-ins and
// the default extensions stand. 2 when the program's own tables cannot be built.
int LoadNamingSetup(CliContext& context, NamingSetup& setup);

// The pattern that --pattern DEFINITION or --pattern-name NAME chose: a compiled definition, or
// the catalogue's pattern of that name (the Automatic pattern too). Prints the compiler's message
// or names the missing pattern and gives 1; 0 on success.
int ChoosePattern(CliContext& context, NamingSetup& setup, const std::string& option,
                  const std::string& value, NamingPattern& owned, const NamingPattern** chosen);

// Sets `photo` up for the file at `path`: its file name, its last write time as the file date and
// its metadata from the full pass (a failure there is noted on standard error, what was read
// stays). Prints why the file cannot be opened and gives 1; 0 on success.
int ReadPhotoFile(CliContext& context, const std::string& path, PhotoFacts& photo);

}  // namespace lumatag::cli
