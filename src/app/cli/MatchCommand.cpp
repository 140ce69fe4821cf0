// lumatag-cli match: reads a file name back against a pattern.
#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliNaming.h"
#include "patterns/NameMatcher.h"

namespace lumatag::cli {

namespace {

constexpr const char kUsage[] =
    "--pattern DEFINITION | --pattern-name NAME FILENAME [FILE]\n"
    "      Reads FILENAME (with its extension) back against the pattern, for the photo FILE\n"
    "      (its file name as original name, its last write time as file date, its full\n"
    "      metadata) or, without FILE, for a photo named FILENAME with no metadata. The photo\n"
    "      is marked named, as when a folder is scanned. --pattern-name also takes the\n"
    "      Automatic pattern. Prints \"matched\" or \"no match\", then one TAB-separated line\n"
    "      each: \"rank N\", \"cost N\", \"base start N\", \"base length N\", \"number N\" (all 0\n"
    "      without a match). A definition that does not compile prints\n"
    "      \"Error: Position P: TEXT\" and exits 1.";

int RunMatch(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--pattern", true}, {"--pattern-name", true}});
  if (!reader.Read(args, 1, 2) || reader.Has("--pattern") == reader.Has("--pattern-name")) {
    return UsageError("match");
  }
  const std::string patternOption = reader.Has("--pattern") ? "--pattern" : "--pattern-name";
  const std::string& patternValue = reader.Value(patternOption);
  const std::vector<std::string>& names = reader.Positional();

  NamingSetup setup;
  if (int result = LoadNamingSetup(context, setup); result != 0) return result;
  NamingPattern owned;
  const NamingPattern* pattern = nullptr;
  if (int result = ChoosePattern(context, setup, patternOption, patternValue, owned, &pattern);
      result != 0) {
    return result;
  }
  CountedString fileName(context.app.heap);
  if (Failed(fileName.AssignUtf8(names[0]))) return 2;
  PhotoFacts photo;
  if (names.size() == 2) {
    if (int result = ReadPhotoFile(context, names[1], photo); result != 0) return result;
  } else if (Failed(SetupPhotoFacts(&photo, context.app.heap, fileName.CStr(), kNoDate,
                                    kNoPatternIndex, 0))) {
    return 2;
  }
  photo.flags |= kPhotoNamed;

  NameMatch match;
  const Status status = MatchName(pattern, &photo, &fileName, &setup.lookup, &match);
  if (Failed(status)) {
    std::printf("! %s\n", StatusText(status).c_str());
    return 1;
  }
  std::printf("%s\nrank\t%u\ncost\t%u\nbase start\t%u\nbase length\t%u\nnumber\t%u\n",
              match.matched ? "matched" : "no match", static_cast<unsigned>(match.rank),
              static_cast<unsigned>(match.cost), static_cast<unsigned>(match.baseStart),
              static_cast<unsigned>(match.baseLength), static_cast<unsigned>(match.number));
  return 0;
}

}  // namespace

LT_CLI_COMMAND(match, "match", kUsage, RunMatch);

}  // namespace lumatag::cli
