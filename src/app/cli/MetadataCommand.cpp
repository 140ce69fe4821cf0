// lumatag-cli metadata [--quick] FILE...: the metadata entries of photo files as the program reads
// them, one entry a line: tag, catalogue name, type, count and rendered text.
#include <cstdio>
#include <string>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliNaming.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"
#include "metadata/PhotoMetadataReader.h"
#include "patterns/NameGenerator.h"
#include "platform/linux/PosixReadableFile.h"

namespace lumatag::cli {

namespace {

void PrintEntry(const StringModule& strings, const MetadataEntry& entry) {
  const MetadataName* name = FindMetadataName(entry.tag);
  const std::u16string_view nameText = name != nullptr ? strings.Text(name->stringId) : u"";
  std::u16string scratch;
  std::printf("0x%04x\t%s\t%u\t%u\t%s\n", static_cast<unsigned>(entry.tag),
              Escaped(nameText).c_str(), static_cast<unsigned>(entry.type),
              static_cast<unsigned>(entry.count),
              Escaped(MetadataEntryText(entry, scratch)).c_str());
}

int RunMetadata(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--quick"}}, true);
  if (!reader.Read(args, 1)) return UsageError("metadata");
  const bool quick = reader.Has("--quick");
  const std::vector<std::string>& files = reader.Positional();

  TagFilter filter;
  if (quick) {
    // The tags a folder scan reads: those of the patterns the settings hold.
    NamingSetup setup;
    if (int result = LoadNamingSetup(context, setup); result != 0) return result;
    if (Failed(BuildQuickPassTagList(setup.catalogue, &filter))) return 2;
  } else {
    // Without room for the filter every tag is read, which is what the full pass asks for.
    IgnoreStatus(BuildFullPassFilter(&filter));
  }
  MetadataReadContext read;
  read.files = &PlatformReadableFileSystem();
  read.strings = context.app.resourceModule;
  // The quick pass reads as a scan does, texts made when printed.
  read.deferText = quick;
  int result = 0;
  for (const std::string& file : files) {
    std::printf("# %s\n", Escaped(ArgumentText(file)).c_str());
    const std::size_t slash = file.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : file.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    PhotoFacts photo;
    const std::u16string name16 = ArgumentText(name);
    Status status =
        SetupPhotoFacts(&photo, context.app.heap, name16.c_str(), kNoDate, kNoPatternIndex, 0);
    if (Succeeded(status)) {
      status = ReadPhotoMetadata(read, ArgumentText(folder), &photo, &filter, !quick);
    }
    for (const MetadataEntry& entry : photo.metadata) PrintEntry(*read.strings, entry);
    if (Failed(status)) {
      std::printf("! %s\n", StatusText(status).c_str());
      result = 1;
    }
  }
  return result;
}

}  // namespace

LT_CLI_COMMAND(metadata, "metadata", "[--quick] FILE...", RunMetadata);

}  // namespace lumatag::cli
