// The naming rules as the workflow uses them: generating a name from a pattern, reading a file name
// back against one pattern or the best of a list, the sequence start of a pattern, and the tags
// that patterns name.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/CountedString.h"
#include "metadata/PhotoFacts.h"
#include "patterns/PatternCatalogue.h"
#include "workflow/ExtensionList.h"

namespace lumatag {

// What reading a file name back found.
struct NameReading {
  bool matched = false;
  std::uint16_t baseStart = 0;
  std::uint16_t baseLength = 0;  // 0xFFFF from FindBestName when nothing matched
  std::uint32_t number = 0;
};

// The name a pattern gives the photo, without extension.
Status GenerateFromPattern(const NamingPattern& pattern, const PhotoFacts& photo,
                           std::u16string_view baseName, bool firstPhoto, std::uint32_t number,
                           CountedString& name);
// The start value of the first number token of the clause the flag selects; 0 and not found when
// that clause has none.
std::uint32_t PatternSequenceStart(const NamingPattern& pattern, bool firstPhoto, bool* found);
// Reads `name` against one pattern (the Automatic pattern applies the camera-name test).
Status ReadNameWith(const NamingPattern& pattern, PhotoFacts& photo, std::u16string_view name,
                    const ExtensionList& extensions, NameReading* reading);
// The best pattern of the catalogue's naming patterns (`automatic`: of its Automatic list) for
// `name`; *best is 0xFFFF when none matched.
Status FindBestName(const PatternCatalogue& catalogue, bool automatic, PhotoFacts& photo,
                    std::u16string_view name, const ExtensionList& extensions,
                    std::uint16_t* best, NameReading* reading);
// Every tag a metadata token of a usable pattern of the catalogue names.
Status CollectPatternTags(const PatternCatalogue& catalogue, std::vector<std::uint16_t>* tags);

}  // namespace lumatag
