// lumatag-cli pattern: compiles a pattern definition and shows its compiled form, or lists the
// pattern catalogue as the settings give it.
#include <cstdio>
#include <cstring>

#include "app/cli/CliCommon.h"
#include "foundation/Numbers.h"
#include "patterns/KeywordTable.h"
#include "patterns/PatternCompiler.h"

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
    "        exits 1.";

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
  if (args.size() != 2 && args.size() != 4) return UsageError("pattern");
  int insertion = 0;
  const bool withInsertion = args.size() == 4;
  if (withInsertion) {
    std::int32_t value = 0;
    const std::u16string digits = Utf8ToUtf16(args[3]);
    if (args[2] != "--insertion" ||
        Failed(ParseInt32(digits.data(), static_cast<int>(digits.size()), &value)) || value < 0) {
      return UsageError("pattern");
    }
    insertion = value;
  }
  KeywordTable keywords;
  if (Failed(keywords.Build(*context.app.resourceModule))) return 2;
  NamingPattern pattern(context.app.heap, &keywords);
  if (Failed(pattern.definition.AssignUtf8(args[1]))) {
    std::fprintf(stderr, "lumatag-cli: the definition is too long\n");
    return 2;
  }
  CountedString message;
  if (Failed(EnsureCompiled(context.app, &pattern, true, withInsertion ? &insertion : nullptr,
                            &message))) {
    std::printf("%s\n", message.ToUtf8().c_str());
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

int RunPattern(CliContext& context, const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "compile") return RunCompile(context, args);
  return UsageError("pattern");
}

}  // namespace

LT_CLI_COMMAND(pattern, "pattern", kUsage, RunPattern);

}  // namespace lumatag::cli
