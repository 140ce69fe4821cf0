#include "app/cli/CliNaming.h"

#include <cstdio>

#include "metadata/PhotoMetadataReader.h"
#include "patterns/PatternCompiler.h"
#include "platform/linux/HiveRegistryStore.h"
#include "platform/linux/PosixReadableFile.h"
#include "ports/SettingsRecords.h"
#include "ports/TextComparer.h"

namespace lumatag::cli {

namespace {

void LoadList(SettingsStore& store, const SettingsKey& main, std::uint16_t nameId,
              SettingsSubkeyList& list, AppContext& app) {
  MessageString subkeyName;
  SettingsKey subkey;
  if (Succeeded(store.LoadName(nameId, subkeyName)) &&
      Succeeded(store.OpenSubkey(main, subkeyName.View(), &subkey))) {
    bool changed = false;
    // A list that cannot be read keeps its defaults; the store has told the person.
    IgnoreStatus(list.LoadFromSettings(store, subkey, app, &changed));
  }
}

}  // namespace

int LoadNamingSetup(CliContext& context, NamingSetup& setup) {
  AppContext& app = context.app;
  if (Failed(setup.keywords.Build(*app.resourceModule)) ||
      Failed(setup.catalogue.BuildBuiltIns(app, &setup.keywords)) ||
      Failed(setup.catalogue.BuildAutomaticList(app))) {
    return 2;
  }
  HiveRegistryStore registry(HiveRegistryStore::DefaultPath());
  SettingsStore store(registry);
  SettingsKey main;
  if (Succeeded(store.OpenSettingsKey(IDS_REG_KEY_PATH, &main))) {
    LoadList(store, main, IDS_REG_IMAGE_FILE_PATTERNS, setup.catalogue, app);
    LoadList(store, main, IDS_REG_IMAGE_FILE_EXTENSIONS, setup.extensions, app);
  }
  ReportSettingsRecovery(store, app);
  bool changed = false;
  if (Failed(setup.extensions.EnsureNotEmpty(*app.resourceModule, &changed))) return 2;
  return 0;
}

int ChoosePattern(CliContext& context, NamingSetup& setup, const std::string& option,
                  const std::string& value, NamingPattern& owned, const NamingPattern** chosen) {
  const std::u16string text = Utf8ToUtf16(value);
  if (option == "--pattern") {
    owned = NamingPattern(context.app.heap, &setup.keywords);
    if (Failed(owned.definition.Assign(text))) {
      std::fprintf(ErrorOutput(), "lumatag-cli: the definition is too long\n");
      return 2;
    }
    CountedString message;
    if (Failed(EnsureCompiled(context.app, &owned, true, nullptr, &message))) {
      std::printf("%s\n", EscapedMessage(message.View()).c_str());
      return 1;
    }
    *chosen = &owned;
    return 0;
  }
  const int index = setup.catalogue.Find(text);
  if (index >= 0 && setup.catalogue.At(index).IsUsable()) {
    *chosen = &setup.catalogue.At(index);
    return 0;
  }
  const NamingPattern* automatic = setup.catalogue.Automatic();
  if (automatic != nullptr && CompareInvariant(automatic->name.View(), text, true) == 0) {
    *chosen = automatic;
    return 0;
  }
  std::fprintf(ErrorOutput(), "lumatag-cli: no usable pattern is named \"%s\"\n",
               Escaped(text).c_str());
  return 1;
}

int ReadPhotoFile(CliContext& context, const std::string& path, PhotoFacts& photo) {
  const std::size_t slash = path.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  const std::u16string name =
      ArgumentText(slash == std::string::npos ? path : path.substr(slash + 1));
  const ReadableFileSystem& files = PlatformReadableFileSystem();
  std::unique_ptr<ReadableFile> file;
  SystemTime fileDate = kNoDate;
  Status status = files.OpenForReading(ArgumentText(path), &file);
  if (Succeeded(status)) status = file->LastWriteTimeLocal(&fileDate);
  file.reset();
  if (Succeeded(status)) {
    status = SetupPhotoFacts(&photo, context.app.heap, name.c_str(), fileDate, kNoPatternIndex, 0);
  }
  if (Failed(status)) {
    std::fprintf(ErrorOutput(), "lumatag-cli: %s: %s\n", Escaped(ArgumentText(path)).c_str(),
                 StatusText(status).c_str());
    return 1;
  }
  // As when a photo becomes current: what could be read stays, a failure is only noted.
  TagFilter filter;
  status = BuildFullPassFilter(&filter);
  if (Succeeded(status)) {
    MetadataReadContext read;
    read.files = &files;
    read.strings = context.app.resourceModule;
    status = ReadPhotoMetadata(read, ArgumentText(folder), &photo, &filter, true);
  }
  if (Failed(status)) {
    std::fprintf(ErrorOutput(), "lumatag-cli: %s: metadata: %s\n",
                 Escaped(ArgumentText(path)).c_str(), StatusText(status).c_str());
  }
  return 0;
}

}  // namespace lumatag::cli
