// The compiler of pattern definitions, and the checks on a compiled pattern.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/AppContext.h"
#include "patterns/KeywordTable.h"
#include "patterns/NamingPattern.h"

namespace lumatag {

// Where and why a definition did not compile: the string-table id of the error text and the
// 0-based character index the message shows (as index + 1).
struct CompileError {
  std::uint16_t messageId = 0;
  int index = 0;
};

// Compiles `definition` into `pattern`: stores the separator position and a new compiled form.
// A syntax error returns E_FAIL after reporting it: into `message` ("Error: Position {2}: {3}")
// when one is given, else in a message box ("Pattern: {1}..."); `error`, when given, receives it
// too. `insertionPoint`, when given, is moved so that it never falls inside a token.
// A built-in pattern whose definition is one space (the Automatic pattern) stays uncompiled.
// A missing pattern or definition gives E_INVALIDARG.
Status CompileDefinition(AppContext& context, NamingPattern* pattern,
                         const CountedString* definition, int* insertionPoint,
                         CountedString* message, CompileError* error = nullptr);
// The same over a text of any length (the compiler reads exactly `definition.size()` characters).
Status CompileDefinition(AppContext& context, NamingPattern* pattern,
                         std::u16string_view definition, int* insertionPoint,
                         CountedString* message, CompileError* error = nullptr);

// Compiles the pattern's own definition unless it already has a compiled form; `force` frees the
// compiled form first.
Status EnsureCompiled(AppContext& context, NamingPattern* pattern, bool force, int* insertionPoint,
                      CountedString* message, CompileError* error = nullptr);

// Whether the pattern's last clause holds something that changes from photo to photo: a number
// token of either kind or the original file name. E_UNEXPECTED without a compiled form.
Status CanProduceUniqueNames(const NamingPattern* pattern, bool* answer);

// The definition that a compiled form stands for, in canonical spelling: "[name]", "[001]",
// "[date:file "yyyy"]", metadata by keyword where one names the tag, literal "[", "]" and ";"
// escaped. Compiling it gives the same block again.
Status WriteCanonicalDefinition(const CompiledPattern& compiled, const KeywordTable& keywords,
                                CountedString& target);

// The message of a compile error in the form of `templateId` (22113 or 22114).
Status FormatCompileMessage(const StringModule& module, std::uint16_t templateId,
                            std::u16string_view definition, const CompileError& error,
                            CountedString& target);

}  // namespace lumatag
