// lumatag-cli name: the name a pattern generates for a photo file or for the previews' sample
// photo.
#include <cstdio>
#include <ctime>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliNaming.h"
#include "foundation/Numbers.h"
#include "metadata/SamplePhoto.h"
#include "patterns/Classification.h"
#include "patterns/NameGenerator.h"

namespace lumatag::cli {

namespace {

constexpr const char kUsage[] =
    "--pattern DEFINITION | --pattern-name NAME --base TEXT [--number N] [--first] [FILE]\n"
    "      Prints the name (without extension) that the pattern generates with the base name\n"
    "      TEXT, escaped (\\\\ \\n \\t), for the photo FILE (its file name, its last write time\n"
    "      as file date and its full metadata) or, without FILE, for the sample photo of the\n"
    "      pattern previews (file date: now). The photo is first classified as a folder scan\n"
    "      does, against the patterns and photo file extensions of the settings. --first names\n"
    "      it as the first photo of a sequence; N (default 1) is the sequence number of a later\n"
    "      photo. A definition that does not compile prints \"Error: Position P: TEXT\" and\n"
    "      exits 1; a failure of generation prints \"! 0xSTATUS\" after what was generated and\n"
    "      exits 1.";

SystemTime LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  SystemTime time;
  time.year = static_cast<std::uint16_t>(local.tm_year + 1900);
  time.month = static_cast<std::uint16_t>(local.tm_mon + 1);
  time.dayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  time.day = static_cast<std::uint16_t>(local.tm_mday);
  time.hour = static_cast<std::uint16_t>(local.tm_hour);
  time.minute = static_cast<std::uint16_t>(local.tm_min);
  time.second = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  return time;
}

int RunName(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--pattern", true},
                         {"--pattern-name", true},
                         {"--base", true},
                         {"--number", true, false},
                         {"--first", false, false}});
  if (!reader.Read(args, 0, 1) || reader.Has("--pattern") == reader.Has("--pattern-name") ||
      !reader.Has("--base")) {
    return UsageError("name");
  }
  const std::string patternOption = reader.Has("--pattern") ? "--pattern" : "--pattern-name";
  const std::string& patternValue = reader.Value(patternOption);
  const std::string& base = reader.Value("--base");
  const std::string file = reader.Positional().empty() ? std::string() : reader.Positional()[0];
  const bool first = reader.Has("--first");
  std::uint32_t number = 1;
  if (reader.Has("--number")) {
    const std::u16string digits = Utf8ToUtf16(reader.Value("--number"));
    if (Failed(ParseUInt32(digits.data(), static_cast<int>(digits.size()), &number))) {
      return UsageError("name");
    }
  }

  NamingSetup setup;
  if (int result = LoadNamingSetup(context, setup); result != 0) return result;
  NamingPattern owned;
  const NamingPattern* pattern = nullptr;
  if (int result = ChoosePattern(context, setup, patternOption, patternValue, owned, &pattern);
      result != 0) {
    return result;
  }
  PhotoFacts photo;
  if (!file.empty()) {
    if (int result = ReadPhotoFile(context, file, photo); result != 0) return result;
  } else if (Failed(BuildSamplePhoto(&photo, context.app.heap, *context.app.resourceModule,
                                     LocalNow()))) {
    return 2;
  }
  // An unclassified sample photo is named from the defaults, as a new photo would be.
  IgnoreStatus(ClassifyName(setup.catalogue, &photo, &setup.lookup));

  NamingEnvironment environment;
  environment.app = &context.app;
  environment.catalogue = &setup.catalogue;
  environment.extensions = &setup.lookup;
  CountedString baseName(context.app.heap);
  CountedString output(context.app.heap);
  if (Failed(baseName.Assign(ArgumentText(base)))) return 2;
  const Status status =
      GenerateName(environment, pattern, &photo, &baseName, first, number, &output);
  std::printf("%s\n", Escaped(output.View()).c_str());
  if (Failed(status)) {
    std::printf("! %s\n", StatusText(status).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

LT_CLI_COMMAND(name, "name", kUsage, RunName);

}  // namespace lumatag::cli
