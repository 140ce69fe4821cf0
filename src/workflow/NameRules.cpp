#include "workflow/NameRules.h"

#include <algorithm>

namespace lumatag {

Status CollectPatternTags(const PatternCatalogue& catalogue, std::vector<std::uint16_t>* tags) {
  tags->clear();
  for (int i = 0; i < catalogue.Count(); ++i) {
    const NamingPattern& pattern = catalogue.At(i);
    if (pattern.IsDeleted() || !pattern.IsUsable() || pattern.compiled.IsEmpty()) continue;
    const CompiledPattern& compiled = pattern.compiled;
    const std::size_t words = static_cast<std::size_t>(compiled.WordCount());
    for (int t = 0; t < compiled.TotalTokenCount(); ++t) {
      const std::uint16_t* token = compiled.TokenAt(t);
      PatternToken decoded;
      if (!DecodePatternToken(token, words - static_cast<std::size_t>(token - compiled.Words()),
                              &decoded)) {
        break;
      }
      if (decoded.kind == kTokenMetadata &&
          std::find(tags->begin(), tags->end(), decoded.tag) == tags->end()) {
        tags->push_back(decoded.tag);
      }
    }
  }
  return S_OK;
}

}  // namespace lumatag
