// A named pattern: its definition text, name, description and compiled form.
#pragma once

#include <cstdint>

#include "foundation/CountedString.h"
#include "patterns/CompiledPattern.h"

namespace lumatag {

class KeywordTable;

// Pattern flags.
inline constexpr std::uint32_t kPatternBuiltIn = 0x1;
inline constexpr std::uint32_t kPatternModified = 0x2;  // changed since it was last saved
// Its stored definition did not compile when it was loaded: it is kept but takes no part in
// matching, in the lists shown to the user or in the collection of metadata tags.
inline constexpr std::uint32_t kPatternNotUsable = 0x4;

struct NamingPattern {
  NamingPattern() = default;
  NamingPattern(PrivateHeap* heap, const KeywordTable* keywords);
  NamingPattern(NamingPattern&&) noexcept = default;
  NamingPattern& operator=(NamingPattern&&) noexcept = default;

  bool IsBuiltIn() const { return (flags & kPatternBuiltIn) != 0; }
  bool IsDeleted() const { return name.IsEmpty(); }
  bool IsUsable() const { return (flags & kPatternNotUsable) == 0; }

  // Empties every field; heap and keyword table stay.
  void Reset();

  // The heap its strings and compiled form come from.
  PrivateHeap* heap = &PrivateHeap::Process();
  // Needed to compile; a pattern without one cannot be compiled.
  const KeywordTable* keywords = nullptr;
  std::uint32_t flags = 0;
  CountedString name;
  CountedString storedName;  // the name it was last saved under
  CountedString description;
  CountedString definition;
  // Character index of the ";" between the clauses, -1 with one clause.
  std::int32_t separatorPosition = -1;
  CompiledPattern compiled;
};

// Copies the built-in and modified flags, heap, keyword table, the four texts, the separator
// position and an exact copy of the compiled block. On failure the target is reset.
Status CopyPattern(const NamingPattern& source, NamingPattern& target);

}  // namespace lumatag
