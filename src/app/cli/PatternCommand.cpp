// lumatag-cli pattern: compiles a pattern definition and shows its compiled form, or lists the
// pattern catalogue as the settings give it.
#include <cstdio>
#include <cstring>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliCommon.h"
#include "foundation/Numbers.h"
#include "patterns/KeywordTable.h"
#include "patterns/PatternCatalogue.h"
#include "patterns/PatternCompiler.h"
#include "platform/linux/HiveRegistryStore.h"
#include "ports/SettingsRecords.h"

namespace lumatag::cli {

namespace {

constexpr const char kUsage[] =
    "compile DEFINITION [--insertion N] | list\n"
    "      compile: on success prints \"ok\", then TAB-separated lines \"clauses N\",\n"
    "        \"separator P\" (-1 with one clause), \"words W\" (block size), \"insertion N\"\n"
    "        (the adjusted insertion point, only with --insertion), then one line per token in\n"
    "        definition order: \"literal TEXT\", \"name base|orig\", \"date pic|file PICTURE\",\n"
    "        \"number auto|orig VALUE DIGITS\", \"metadata 0xTAG\", \"separator\"; texts are\n"
    "        escaped (\\\\ \\n \\t). On a syntax error prints \"Error: Position P: TEXT\" and\n"
    "        exits 1.\n"
    "      list: the built-in and stored patterns as the settings give them, in catalogue order,\n"
    "        one TAB-separated line each: \"*\" for the default pattern or \"-\", the name, the\n"
    "        flags (b built-in, m modified, u not usable, \"-\" where a flag is clear), the\n"
    "        definition; texts escaped. The settings are only read, except that a stored\n"
    "        pattern that cannot be read is deleted when the question about it is answered yes.";

std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

void PrintToken(const KeywordTable& keywords, const PatternToken& token) {
  switch (token.kind) {
    case kTokenLiteral:
      std::printf("literal\t%s\n", Escaped(token.text).c_str());
      break;
    case kTokenName:
      std::printf("name\t%s\n", Utf8(keywords.Word(token.sub)).c_str());
      break;
    case kTokenDate:
      std::printf("date\t%s\t%s\n", Utf8(keywords.Word(token.sub)).c_str(),
                  Escaped(token.text).c_str());
      break;
    case kTokenNumber:
      std::printf("number\t%s\t%u\t%u\n", Utf8(keywords.Word(token.sub)).c_str(),
                  static_cast<unsigned>(token.value), static_cast<unsigned>(token.digits));
      break;
    case kTokenMetadata:
      std::printf("metadata\t0x%04x\n", static_cast<unsigned>(token.tag));
      break;
    default:
      std::printf("separator\n");
      break;
  }
}

int RunCompile(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--insertion", true}}, true);
  if (!reader.Read(args, 2, 2)) return UsageError("pattern");
  int insertion = 0;
  const bool withInsertion = reader.Has("--insertion");
  if (withInsertion) {
    std::int32_t value = 0;
    const std::u16string digits = Utf8ToUtf16(reader.Value("--insertion"));
    if (Failed(ParseInt32(digits.data(), static_cast<int>(digits.size()), &value)) || value < 0) {
      return UsageError("pattern");
    }
    insertion = value;
  }
  const std::string& definition = reader.Positional()[1];
  KeywordTable keywords;
  if (Failed(keywords.Build(*context.app.resourceModule))) return 2;
  NamingPattern pattern(context.app.heap, &keywords);
  if (Failed(pattern.definition.AssignUtf8(definition))) {
    std::fprintf(ErrorOutput(), "lumatag-cli: the definition is too long\n");
    return 2;
  }
  CountedString message;
  if (Failed(EnsureCompiled(context.app, &pattern, true, withInsertion ? &insertion : nullptr,
                            &message))) {
    std::printf("%s\n", EscapedMessage(message.View()).c_str());
    return 1;
  }
  const CompiledPattern& compiled = pattern.compiled;
  std::printf("ok\nclauses\t%d\nseparator\t%d\nwords\t%d\n", compiled.ClauseCount(),
              static_cast<int>(pattern.separatorPosition), compiled.WordCount());
  if (withInsertion) std::printf("insertion\t%d\n", insertion);
  const std::uint16_t* end = compiled.Words() + compiled.WordCount();
  for (int i = 0; i < compiled.TotalTokenCount(); ++i) {
    const std::uint16_t* at = compiled.TokenAt(i);
    PatternToken token;
    if (!DecodePatternToken(at, static_cast<std::size_t>(end - at), &token)) return 2;
    PrintToken(keywords, token);
  }
  return 0;
}

int RunList(CliContext& context, const std::vector<std::string>& args) {
  if (!ArgumentReader({}).Read(args, 1, 1)) return UsageError("pattern");
  AppContext& app = context.app;
  KeywordTable keywords;
  PatternCatalogue catalogue(app.heap);
  if (Failed(keywords.Build(*app.resourceModule)) ||
      Failed(catalogue.BuildBuiltIns(app, &keywords)) ||
      Failed(catalogue.BuildAutomaticList(app))) {
    return 2;
  }
  // Read without creating anything: no settings yet means the built-ins alone.
  HiveRegistryStore registry(HiveRegistryStore::DefaultPath());
  SettingsStore store(registry);
  SettingsKey main;
  SettingsKey patterns;
  MessageString subkeyName;
  if (Succeeded(store.OpenSettingsKey(IDS_REG_KEY_PATH, &main)) &&
      Succeeded(store.LoadName(IDS_REG_IMAGE_FILE_PATTERNS, subkeyName)) &&
      Succeeded(store.OpenSubkey(main, subkeyName.View(), &patterns))) {
    bool changed = false;
    // Stored patterns that cannot be read are left out; the store has told the person.
    IgnoreStatus(catalogue.LoadFromSettings(store, patterns, app, &changed));
  }
  ReportSettingsRecovery(store, app);

  for (int i = 0; i < catalogue.Count(); ++i) {
    const NamingPattern& pattern = catalogue.At(i);
    if (pattern.IsDeleted()) continue;
    const char flags[4] = {pattern.IsBuiltIn() ? 'b' : '-',
                           (pattern.flags & kPatternModified) != 0 ? 'm' : '-',
                           pattern.IsUsable() ? '-' : 'u', 0};
    std::printf("%s\t%s\t%s\t%s\n", i == catalogue.DefaultIndex() ? "*" : "-",
                Escaped(pattern.name.View()).c_str(), flags,
                Escaped(pattern.definition.View()).c_str());
  }
  return 0;
}

int RunPattern(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "compile") return RunCompile(context, args);
  if (!args.empty() && args[0] == "list") return RunList(context, args);
  return UsageError("pattern");
}

}  // namespace

LT_CLI_COMMAND(pattern, "pattern", kUsage, RunPattern);

}  // namespace lumatag::cli
