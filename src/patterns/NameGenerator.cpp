#include "patterns/NameGenerator.h"

#include "patterns/PatternCatalogue.h"

namespace lumatag {

bool IsInvalidFileNameChar(char16_t c) {
  switch (c) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'"':
    case u'?':
    case u'<':
    case u'>':
    case u'|':
      return true;
    default:
      return false;
  }
}

char16_t MetadataReplacementChar(std::uint16_t type) {
  return type == kTypeRational || type == kTypeSRational ? u'-' : u'_';
}

int FindExtensionDot(std::u16string_view name) {
  const int length = static_cast<int>(name.size());
  for (int i = length - 1; i >= 0 && i >= length - 5; --i) {
    if (name[static_cast<std::size_t>(i)] == u'.') return i;
  }
  return -1;
}

Status GenerateName(const NamingEnvironment&, const NamingPattern*, const PhotoFacts*,
                    const CountedString*, bool, std::uint32_t, CountedString*) {
  return E_NOTIMPL;
}

void SetClassification(PhotoFacts* photo, bool originalIsCurrent, bool named, bool originalFound) {
  std::uint32_t flags = photo->flags & ~(kPhotoNamed | kPhotoOriginalFound | kPhotoOriginalIsCurrent);
  if (named) {
    flags |= kPhotoNamed;
  } else if (originalFound) {
    flags |= kPhotoOriginalFound;
  } else if (originalIsCurrent) {
    flags |= kPhotoOriginalIsCurrent;
  }
  photo->flags = flags;
}

std::uint32_t SequenceStart(const NamingPattern&, bool, bool* found) {
  if (found != nullptr) *found = false;
  return 0;
}

std::uint16_t NextMetadataTag(const NamingPattern&, int*) { return kNoMetadataTag; }

Status BuildQuickPassTagList(const PatternCatalogue&, TagFilter*) { return E_NOTIMPL; }

}  // namespace lumatag
