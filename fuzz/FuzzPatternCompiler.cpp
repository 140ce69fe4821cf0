// Pattern definitions (typed by the user, stored in the settings): the compiler never crashes or
// reads past the text; a definition that compiles yields a block that the accessors can walk,
// that spells a definition compiling to the same block, and an insertion point inside the text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "foundation/StringTable.h"
#include "patterns/PatternCompiler.h"

namespace {

using namespace lumatag;

struct Setup {
  Setup() { IgnoreStatus(keywords.Build(StringModule::BuiltIn())); }
  AppContext context;
  KeywordTable keywords;
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setup setup;
  if (size < 1) return 0;
  // The first byte picks the insertion point and how the rest becomes text: one character per
  // byte (dense in brackets, quotes and escapes), or UTF-16 units in pairs.
  const std::uint8_t control = data[0];
  ++data;
  --size;
  const bool wide = (control & 0x80) != 0;
  const std::size_t length = wide ? size / 2 : size;
  // An exactly sized copy, so that any read past the text is caught.
  std::unique_ptr<char16_t[]> text(new char16_t[length == 0 ? 1 : length]);
  for (std::size_t i = 0; i < length; ++i) {
    text[i] = wide ? static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8))
                   : static_cast<char16_t>(data[i]);
  }
  const std::u16string_view definition(text.get(), length);
  int insertion = static_cast<int>((control & 0x7F) % (length + 2));
  const int insertionBefore = insertion;

  NamingPattern pattern(setup.context.heap, &setup.keywords);
  MessageString message;
  CompileError error;
  const Status status =
      CompileDefinition(setup.context, &pattern, definition, &insertion, &message, &error);
  if (Failed(status)) {
    Check(status == E_FAIL);
    Check(error.index >= 0 && static_cast<std::size_t>(error.index) <= length);
    Check(pattern.compiled.IsEmpty());
    return 0;
  }

  const CompiledPattern& compiled = pattern.compiled;
  Check(IsWellFormedCompiledPattern(compiled.Words(), compiled.WordCount()));
  Check(insertion >= 0 && static_cast<std::size_t>(insertion) <= length);
  Check(insertion >= insertionBefore || insertionBefore > static_cast<int>(length));
  Check((compiled.ClauseCount() == 2) == (pattern.separatorPosition >= 0));
  if (pattern.separatorPosition >= 0) Check(definition[pattern.separatorPosition] == u';');

  // Walk every clause the way generation and matching do.
  const std::uint16_t* end = compiled.Words() + compiled.WordCount();
  for (int clause = 0; clause < compiled.ClauseCount(); ++clause) {
    const int first = compiled.FirstTokenPosition(clause, true);
    int words = 0;
    for (int i = 0; i < compiled.ClauseTokenCount(clause); ++i) {
      const std::uint16_t* token = compiled.TokenAt(first + i);
      PatternToken decoded;
      Check(DecodePatternToken(token, static_cast<std::size_t>(end - token), &decoded));
      Check(decoded.kind != kTokenSeparator);
      words += decoded.words;
    }
    Check(words == compiled.ClauseDataWords(clause));
  }
  bool unique = false;
  Check(Succeeded(CanProduceUniqueNames(&pattern, &unique)));

  // The canonical spelling compiles to the very same block.
  CountedString canonical;
  if (Succeeded(WriteCanonicalDefinition(compiled, setup.keywords, canonical))) {
    NamingPattern again(setup.context.heap, &setup.keywords);
    Check(Succeeded(
        CompileDefinition(setup.context, &again, &canonical, nullptr, &message, nullptr)));
    Check(again.compiled.WordCount() == compiled.WordCount());
    Check(std::memcmp(again.compiled.Words(), compiled.Words(),
                      static_cast<std::size_t>(compiled.WordCount()) * 2) == 0);
  }
  NamingPattern copy;
  Check(Succeeded(CopyPattern(pattern, copy)));
  Check(std::memcmp(copy.compiled.Words(), compiled.Words(),
                    static_cast<std::size_t>(compiled.WordCount()) * 2) == 0);
  return 0;
}
