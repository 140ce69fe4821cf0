#include "patterns/NamingPattern.h"

namespace lumatag {

NamingPattern::NamingPattern(PrivateHeap* heap, const KeywordTable* keywords)
    : heap(heap),
      keywords(keywords),
      name(heap),
      storedName(heap),
      description(heap),
      definition(heap) {}

void NamingPattern::Reset() {
  flags = 0;
  name.Clear();
  storedName.Clear();
  description.Clear();
  definition.Clear();
  separatorPosition = -1;
  compiled.Free();
}

Status CopyPattern(const NamingPattern& source, NamingPattern& target) {
  if (&source == &target) return S_OK;
  target.Reset();
  target.heap = source.heap;
  target.keywords = source.keywords;
  Status status = S_OK;
  for (CountedString* text :
       {&target.name, &target.storedName, &target.description, &target.definition}) {
    if (Succeeded(status) && !text->IsFixed()) status = text->AttachHeap(source.heap);
  }
  if (Succeeded(status)) status = target.name.Assign(source.name);
  if (Succeeded(status)) status = target.storedName.Assign(source.storedName);
  if (Succeeded(status)) status = target.description.Assign(source.description);
  if (Succeeded(status)) status = target.definition.Assign(source.definition);
  if (Succeeded(status)) status = target.compiled.CopyFrom(source.compiled, source.heap);
  if (Failed(status)) {
    target.Reset();
    return status;
  }
  target.flags = source.flags & (kPatternBuiltIn | kPatternModified);
  target.separatorPosition = source.separatorPosition;
  return S_OK;
}

}  // namespace lumatag
