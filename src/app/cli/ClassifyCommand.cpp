// lumatag-cli classify: tells camera-generated file names from named ones as a folder scan does.
#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliNaming.h"
#include "patterns/Classification.h"

namespace lumatag::cli {

namespace {

constexpr const char kUsage[] =
    "NAME...\n"
    "      Classifies each file name (a photo with no metadata) against the patterns and photo\n"
    "      file extensions of the settings, as a folder scan does. One TAB-separated line per\n"
    "      name: \"unnamed\" or \"named\", the pattern's name (\"-\" when no pattern matched),\n"
    "      the base name (empty when there is none) and the number; texts escaped\n"
    "      (\\\\ \\n \\t).";

int RunClassify(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({}, true);
  if (!reader.Read(args, 1)) return UsageError("classify");
  NamingSetup setup;
  if (int result = LoadNamingSetup(context, setup); result != 0) return result;
  int result = 0;
  for (const std::string& name : reader.Positional()) {
    const std::u16string name16 = ArgumentText(name);
    PhotoFacts photo;
    if (Failed(SetupPhotoFacts(&photo, context.app.heap, name16.c_str(), kNoDate, kNoPatternIndex,
                               0))) {
      return 2;
    }
    const Status status = ClassifyName(setup.catalogue, &photo, &setup.lookup);
    const bool unnamed = (photo.flags & kPhotoUnnamed) != 0;
    std::u16string_view patternName = u"-";
    if (unnamed) {
      patternName = setup.catalogue.AutomaticAt(photo.patternIndex).name.View();
    } else if (photo.patternIndex != kNoPatternIndex) {
      patternName = setup.catalogue.At(photo.patternIndex).name.View();
    }
    const std::u16string_view base =
        photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength);
    std::printf("%s\t%s\t%s\t%u\n", unnamed ? "unnamed" : "named", Escaped(patternName).c_str(),
                Escaped(base).c_str(), static_cast<unsigned>(photo.number));
    if (Failed(status)) {
      std::printf("! %s\n", StatusText(status).c_str());
      result = 1;
    }
  }
  return result;
}

}  // namespace

LT_CLI_COMMAND(classify, "classify", kUsage, RunClassify);

}  // namespace lumatag::cli
