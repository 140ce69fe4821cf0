#include "patterns/NameGenerator.h"

#include <string>

#include "foundation/Numbers.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"
#include "patterns/KeywordTable.h"
#include "patterns/NameMatcher.h"
#include "patterns/PatternCatalogue.h"

namespace lumatag {

bool IsInvalidFileNameChar(char16_t c) {
  // Control characters could forge lines or move the cursor wherever the name is shown.
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
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

namespace {

// Reads the token at `position` of the token index; false for a token that does not decode.
bool TokenAtPosition(const CompiledPattern& compiled, int position, PatternToken* token) {
  const std::uint16_t* at = compiled.TokenAt(position);
  const std::uint16_t* end = compiled.Words() + compiled.WordCount();
  return at < end && DecodePatternToken(at, static_cast<std::size_t>(end - at), token);
}

// The clause a photo is named by: the first for the first photo of a sequence, else the last.
int SelectClause(const CompiledPattern& compiled, bool firstPhoto) {
  return firstPhoto ? 0 : compiled.ClauseCount() - 1;
}

bool OriginalNameKnown(const PhotoFacts& photo) {
  return (photo.flags & (kPhotoOriginalFound | kPhotoOriginalIsCurrent)) != 0;
}

std::uint32_t OriginalNumber(const NamingEnvironment& environment, const PhotoFacts& photo,
                             std::uint32_t sequenceNumber) {
  if (environment.app != nullptr && (environment.app->openDialog == kDialogPatternEditor ||
                                     environment.app->openDialog == kDialogInsertNumber)) {
    return kPreviewOriginalNumber;
  }
  if (environment.catalogue == nullptr || environment.catalogue->Automatic() == nullptr) return 0;
  // What matching the original name against the Automatic pattern gives.
  std::uint32_t number = 0;
  if (IsCameraGeneratedName(photo.originalFileName.View(), environment.extensions, &number)) {
    return number;
  }
  return sequenceNumber;
}

Status AppendMetadata(const PhotoFacts& photo, std::uint16_t tag, CountedString& output) {
  const MetadataEntry* entry = FindMetadataEntry(photo, tag);
  if (entry == nullptr) return output.Append(kMissingValueText);
  const int start = output.Length();
  thread_local std::u16string scratch;
  LT_TRY(output.Append(MetadataEntryText(*entry, scratch)));
  const char16_t replacement = MetadataReplacementChar(entry->type);
  char16_t* text = output.MutableText();
  for (int i = start; i < output.Length(); ++i) {
    if (IsInvalidFileNameChar(text[i])) text[i] = replacement;
  }
  return S_OK;
}

Status AppendToken(const NamingEnvironment& environment, const PatternToken& token,
                   const PhotoFacts& photo, const CountedString& baseName, bool firstPhoto,
                   std::uint32_t sequenceNumber, CountedString& output) {
  switch (token.kind) {
    case kTokenLiteral:
      return output.Append(token.text);
    case kTokenName:
      if (token.sub != kKeywordOrig) return output.Append(baseName);
      if (!OriginalNameKnown(photo)) return output.Append(kMissingValueText);
      {
        const std::u16string_view original = photo.originalFileName.View();
        const int dot = FindExtensionDot(original);
        return output.Append(dot < 0 ? original
                                     : original.substr(0, static_cast<std::size_t>(dot)));
      }
    case kTokenDate: {
      const SystemTime date =
          token.sub == kKeywordFile ? photo.fileDate : GetPictureTakenDate(photo);
      FixedString<kGeneratedFieldCapacity> field;
      LT_TRY(FormatDatePicture(
          token.text, date, field,
          environment.locale != nullptr ? *environment.locale : DateLocale::UserDefault()));
      return output.Append(field);
    }
    case kTokenNumber: {
      std::uint32_t value = 0;
      if (token.sub == kKeywordOrig) {
        value = OriginalNumber(environment, photo, sequenceNumber);
      } else {
        value = firstPhoto ? token.value : sequenceNumber;
      }
      FixedString<kGeneratedFieldCapacity> field;
      LT_TRY(FormatUInt32Padded(field, value, token.digits));
      return output.Append(field);
    }
    case kTokenMetadata:
      return AppendMetadata(photo, token.tag, output);
    case kTokenSeparator:
      return S_OK;
    default:
      return E_UNEXPECTED;
  }
}

}  // namespace

Status GenerateName(const NamingEnvironment& environment, const NamingPattern* pattern,
                    const PhotoFacts* photo, const CountedString* baseName, bool firstPhoto,
                    std::uint32_t sequenceNumber, CountedString* output) {
  if (photo == nullptr || baseName == nullptr || output == nullptr) return E_INVALIDARG;
  output->Clear();
  if (pattern == nullptr || pattern->compiled.IsEmpty()) return E_INVALID_INPUT;
  const CompiledPattern& compiled = pattern->compiled;
  const int clause = SelectClause(compiled, firstPhoto);
  const int first = compiled.FirstTokenPosition(clause, true);
  const int count = compiled.ClauseTokenCount(clause);
  Status status = S_OK;
  for (int i = 0; i < count; ++i) {
    PatternToken token;
    if (!TokenAtPosition(compiled, first + i, &token)) {
      status = E_UNEXPECTED;
      break;
    }
    status =
        AppendToken(environment, token, *photo, *baseName, firstPhoto, sequenceNumber, *output);
    if (Failed(status)) break;
  }
  output->TrimTrailing();
  output->TrimLeading();
  return status;
}

void SetClassification(PhotoFacts* photo, bool originalIsCurrent, bool named, bool originalFound) {
  std::uint32_t flags =
      photo->flags & ~(kPhotoNamed | kPhotoOriginalFound | kPhotoOriginalIsCurrent);
  if (named) {
    flags |= kPhotoNamed;
  } else if (originalFound) {
    flags |= kPhotoOriginalFound;
  } else if (originalIsCurrent) {
    flags |= kPhotoOriginalIsCurrent;
  }
  photo->flags = flags;
}

std::uint32_t SequenceStart(const NamingPattern& pattern, bool firstPhoto, bool* found) {
  if (found != nullptr) *found = false;
  const CompiledPattern& compiled = pattern.compiled;
  if (compiled.IsEmpty()) return 0;
  const int clause = SelectClause(compiled, firstPhoto);
  const int first = compiled.FirstTokenPosition(clause, true);
  const int count = compiled.ClauseTokenCount(clause);
  for (int i = 0; i < count; ++i) {
    PatternToken token;
    if (!TokenAtPosition(compiled, first + i, &token)) break;
    if (token.kind == kTokenNumber && token.sub == kKeywordAuto) {
      if (found != nullptr) *found = true;
      return token.value;
    }
  }
  return 0;
}

std::uint16_t NextMetadataTag(const NamingPattern& pattern, int* position) {
  const CompiledPattern& compiled = pattern.compiled;
  if (compiled.IsEmpty() || position == nullptr) return kNoMetadataTag;
  const int total = compiled.TotalTokenCount();
  for (int i = *position < 0 ? 0 : *position; i < total; ++i) {
    const std::uint16_t* token = compiled.TokenAt(i);
    if (token[0] == kTokenMetadata) {
      *position = i + 1;
      return token[1];
    }
  }
  *position = total;
  return kNoMetadataTag;
}

Status BuildQuickPassTagList(const PatternCatalogue& catalogue, TagFilter* filter) {
  if (filter == nullptr) return E_INVALIDARG;
  filter->Clear();
  LT_TRY(filter->Add(kTagDateTimeOriginal));
  LT_TRY(filter->Add(kTagOrientation));
  for (int i = 0; i < catalogue.Count(); ++i) {
    const NamingPattern& pattern = catalogue.At(i);
    if (pattern.IsDeleted() || !pattern.IsUsable()) continue;
    // A token may name tag 0xFFFF itself, so the walk goes on to the end of the index.
    const int total = pattern.compiled.TotalTokenCount();
    for (int position = 0; position < total;) {
      const std::uint16_t tag = NextMetadataTag(pattern, &position);
      if (tag != kNoMetadataTag) LT_TRY(filter->Add(tag));
    }
  }
  return S_OK;
}

}  // namespace lumatag
