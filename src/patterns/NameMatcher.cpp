#include "patterns/NameMatcher.h"

#include <unicode/uchar.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/Numbers.h"
#include "metadata/MetadataText.h"
#include "patterns/KeywordTable.h"
#include "patterns/NameGenerator.h"
#include "patterns/PatternCatalogue.h"

namespace lumatag {

namespace {

// Letters compare without regard to case in ASCII only; every other character compares exactly.
char16_t Fold(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool SameText(const char16_t* a, std::u16string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool IsCameraPrefixChar(char16_t c) {
  return c == u'_' || u_isalnum(c);
}

// The eight characters before a camera name's extension: four characters that are "_" or a letter
// or digit, then four digits, or "G" and three digits after exactly "_RIM".
bool IsCameraStem(const char16_t* stem) {
  for (int i = 0; i < 4; ++i) {
    if (!IsCameraPrefixChar(stem[i])) return false;
  }
  int firstDigit = 4;
  if (stem[4] == u'G') {
    if (std::u16string_view(stem, 4) != u"_RIM") return false;
    firstDigit = 5;
  }
  for (int i = firstDigit; i < kCameraStemLength; ++i) {
    if (!IsDecimalDigit(stem[i])) return false;
  }
  return true;
}

std::u16string_view StemOf(std::u16string_view name) {
  const int dot = FindExtensionDot(name);
  return dot < 0 ? name : name.substr(0, static_cast<std::size_t>(dot));
}

// Whether a camera name could be embedded in a file name that came from this original name: its
// extension has exactly three characters.
bool HasThreeCharacterExtension(std::u16string_view original) {
  const int dot = FindExtensionDot(original);
  return dot >= 0 && static_cast<int>(original.size()) - dot == 4;
}

// Clauses of up to this many tokens are decoded once and kept.
constexpr int kDecodedTokens = 24;

// A clause's tokens decoded, and what every reading of it needs from a stem.
struct DecodedClause {
  int count = 0;
  std::uint32_t decodedMask = 0;  // bit i: token i decoded
  bool complete = false;          // every token decoded
  bool hasOriginalName = false;   // a name token of the original file name
  std::size_t least = 0;          // characters the tokens but the base name consume at least
  PatternToken tokens[kDecodedTokens];
};

bool DecodeClauseToken(const CompiledPattern& compiled, int first, int index, PatternToken* token) {
  const std::uint16_t* at = compiled.TokenAt(first + index);
  const std::uint16_t* end = compiled.Words() + compiled.WordCount();
  return at < end && DecodePatternToken(at, static_cast<std::size_t>(end - at), token);
}

void DecodeClause(const CompiledPattern& compiled, int clause, DecodedClause* out) {
  *out = DecodedClause{};
  const int count = compiled.ClauseTokenCount(clause);
  if (count <= 0 || count > kDecodedTokens) return;
  const int first = compiled.FirstTokenPosition(clause, true);
  out->count = count;
  for (int i = 0; i < count; ++i) {
    if (DecodeClauseToken(compiled, first, i, &out->tokens[i])) out->decodedMask |= 1u << i;
  }
  out->complete = out->decodedMask == (1u << count) - 1;
  for (int i = 0; i < count; ++i) {
    const PatternToken& token = out->tokens[i];
    if (token.kind == kTokenName && token.sub == kKeywordOrig) out->hasOriginalName = true;
    if (token.kind == kTokenLiteral) out->least += token.text.size();
    if (token.kind == kTokenNumber) out->least += token.digits > 1 ? token.digits : 1;
  }
}

// The decoded clauses of the compiled blocks matched lately, per thread. An entry serves a block
// only while the block at that address still holds the same words, so a block freed, replaced or
// rewritten is decoded again; the token texts point into the block itself.
struct DecodedBlock {
  const std::uint16_t* words = nullptr;
  std::vector<std::uint16_t> copy;
  DecodedClause clauses[2];
};

const DecodedClause* DecodedClauseOf(const CompiledPattern& compiled, int clause) {
  constexpr std::size_t kBlocks = 64;
  thread_local std::vector<DecodedBlock> blocks;
  thread_local std::size_t nextSlot = 0;
  if (clause < 0 || clause > 1 || compiled.IsEmpty()) return nullptr;
  // Never moved once made: a reader keeps a pointer into its entry.
  if (blocks.capacity() < kBlocks) blocks.reserve(kBlocks);
  const std::uint16_t* words = compiled.Words();
  const auto count = static_cast<std::size_t>(compiled.WordCount());
  for (const DecodedBlock& block : blocks) {
    if (block.words == words && block.copy.size() == count &&
        std::memcmp(block.copy.data(), words, count * sizeof(std::uint16_t)) == 0) {
      return &block.clauses[clause];
    }
  }
  if (blocks.size() < kBlocks) {
    blocks.emplace_back();
    nextSlot = blocks.size() - 1;
  }
  DecodedBlock& block = blocks[nextSlot];
  nextSlot = (nextSlot + 1) % kBlocks;
  block.words = words;
  block.copy.assign(words, words + count);
  for (int k = 0; k < 2; ++k) DecodeClause(compiled, k, &block.clauses[k]);
  return &block.clauses[clause];
}

// One clause read from both ends of the stem.
class ClauseReader {
 public:
  ClauseReader(const CompiledPattern& compiled, int clause, PhotoFacts& photo,
               std::u16string_view stem, const DateLocale& locale)
      : compiled_(compiled),
        first_(compiled.FirstTokenPosition(clause, true)),
        photo_(photo),
        stem_(stem),
        locale_(locale),
        frontToken_(0),
        backToken_(compiled.ClauseTokenCount(clause) - 1),
        back_(static_cast<int>(stem.size()) - 1),
        decoded_(DecodedClauseOf(compiled, clause)) {
    if (decoded_ != nullptr && decoded_->count != backToken_ + 1) decoded_ = nullptr;
  }

  bool Read(NameMatch* result);
  // Running out of memory while recording an embedded camera name.
  Status Failure() const { return failure_; }

 private:
  enum class Step { kConsumed, kFailed, kBaseName };

  bool Decode(int index, PatternToken* token) const {
    if (decoded_ == nullptr) return DecodeClauseToken(compiled_, first_, index, token);
    *token = decoded_->tokens[index];
    return (decoded_->decodedMask & (1u << index)) != 0;
  }
  // Whether the stem fails a condition that every successful reading of the clause meets: its
  // length, its first and last characters, the literal texts it must contain. Decided without
  // rendering a date or reading the photo; only for clauses whose reading changes nothing.
  bool CannotMatch() const;
  int Remaining() const { return back_ - front_ + 1; }

  Step Take(int index, bool fromFront);
  bool TakeText(std::u16string_view text, bool fromFront);
  bool TakeMetadata(std::uint16_t tag, bool fromFront);
  bool TakeNumber(const PatternToken& token, bool fromFront);
  bool TakeOriginalName(bool fromFront);
  // Whether the photo's original stem, or for a named photo a camera name, stands at the cursor.
  bool OriginalStandsAt(bool fromFront) const;
  bool OriginalTokenPending(int baseIndex) const;

  const CompiledPattern& compiled_;
  const int first_;
  PhotoFacts& photo_;
  const std::u16string_view stem_;
  const DateLocale& locale_;
  int frontToken_;
  int backToken_;
  int front_ = 0;
  int back_;
  int baseStart_ = 0;
  std::uint32_t rank_ = 0;
  std::uint32_t cost_ = 0;
  std::uint32_t number_ = 0;
  bool autoNumberRead_ = false;
  Status failure_ = S_OK;
  // The clause's tokens decoded once for every reading, or nothing: decode from the block.
  const DecodedClause* decoded_;
};

bool ContainsText(std::u16string_view stem, std::u16string_view text) {
  if (text.size() > stem.size()) return false;
  for (std::size_t at = 0; at + text.size() <= stem.size(); ++at) {
    if (SameText(stem.data() + at, text)) return true;
  }
  return false;
}

bool ClauseReader::CannotMatch() const {
  // Reading an original-name token records what it found on the photo, even when the clause
  // fails later: such a clause is always read.
  if (decoded_ == nullptr || !decoded_->complete || decoded_->hasOriginalName) return false;
  const int count = decoded_->count;
  const PatternToken* tokens = decoded_->tokens;
  // Every token but the base name consumes its text: literals as they are, numbers at least one
  // digit and at least their minimum width.
  if (stem_.size() < decoded_->least) return true;
  for (int i = 0; i < count; ++i) {
    if (tokens[i].kind == kTokenLiteral && !ContainsText(stem_, tokens[i].text)) return true;
  }
  // The first token is read at the start of the stem; the last one, unless it is the base name,
  // ends at its end.
  const PatternToken& first = tokens[0];
  if (first.kind == kTokenLiteral && !SameText(stem_.data(), first.text)) return true;
  if (first.kind == kTokenNumber && (stem_.empty() || !IsDecimalDigit(stem_.front()))) return true;
  const PatternToken& last = tokens[count - 1];
  if (last.kind == kTokenLiteral &&
      !SameText(stem_.data() + (stem_.size() - last.text.size()), last.text)) {
    return true;
  }
  if (last.kind == kTokenNumber && (stem_.empty() || !IsDecimalDigit(stem_.back()))) return true;
  return false;
}

bool ClauseReader::Read(NameMatch* result) {
  if (CannotMatch()) return false;
  bool baseReached = false;
  // From the front up to the base name.
  while (frontToken_ <= backToken_) {
    const Step step = Take(frontToken_, true);
    if (step == Step::kFailed) return false;
    if (step == Step::kBaseName) {
      baseStart_ = front_;
      baseReached = true;
      break;
    }
    ++frontToken_;
  }
  // From the back down to the base name.
  while (baseReached && backToken_ > frontToken_) {
    const Step step = Take(backToken_, false);
    if (step == Step::kFailed) return false;
    if (step == Step::kBaseName) break;
    --backToken_;
  }

  NameMatch match;
  if (frontToken_ > backToken_) {
    // Every token consumed: the whole stem must have been read.
    if (back_ >= front_) return false;
  } else if (frontToken_ == backToken_) {
    match.baseLength = static_cast<std::uint16_t>(back_ - baseStart_ + 1);
    match.baseStart = match.baseLength > 0 ? static_cast<std::uint16_t>(baseStart_) : 0;
    rank_ += 1;
  } else {
    return false;
  }
  match.matched = true;
  match.rank = rank_;
  match.cost = cost_;
  match.number = number_;
  *result = match;
  return true;
}

ClauseReader::Step ClauseReader::Take(int index, bool fromFront) {
  PatternToken token;
  if (!Decode(index, &token)) return Step::kFailed;
  if (token.kind == kTokenName && token.sub != kKeywordOrig) {
    if (OriginalTokenPending(index) && OriginalStandsAt(fromFront)) return Step::kFailed;
    return Step::kBaseName;
  }
  if (back_ < front_) return Step::kFailed;
  bool taken = false;
  switch (token.kind) {
    case kTokenLiteral:
      taken = TakeText(token.text, fromFront);
      break;
    case kTokenName:
      taken = TakeOriginalName(fromFront);
      break;
    case kTokenDate: {
      const SystemTime date =
          token.sub == kKeywordFile ? photo_.fileDate : GetPictureTakenDate(photo_);
      // A date that cannot be rendered could not have been written into a name.
      FixedString<kGeneratedFieldCapacity> text;
      taken = Succeeded(FormatDatePicture(token.text, date, text, locale_)) &&
              TakeText(text.View(), fromFront);
      break;
    }
    case kTokenNumber:
      taken = TakeNumber(token, fromFront);
      break;
    case kTokenMetadata:
      taken = TakeMetadata(token.tag, fromFront);
      break;
    default:
      break;
  }
  if (!taken) return Step::kFailed;
  ++rank_;
  return Step::kConsumed;
}

bool ClauseReader::TakeText(std::u16string_view text, bool fromFront) {
  const int length = static_cast<int>(text.size());
  if (length > Remaining()) return false;
  const int start = fromFront ? front_ : back_ - length + 1;
  if (!SameText(stem_.data() + start, text)) return false;
  if (fromFront) {
    front_ += length;
  } else {
    back_ -= length;
  }
  return true;
}

bool ClauseReader::TakeMetadata(std::uint16_t tag, bool fromFront) {
  const MetadataEntry* entry = FindMetadataEntry(photo_, tag);
  thread_local std::u16string scratch;
  const std::u16string_view value =
      entry != nullptr ? MetadataEntryText(*entry, scratch) : kMissingValueText;
  const char16_t replacement = entry != nullptr ? MetadataReplacementChar(entry->type) : u'-';
  const int length = static_cast<int>(value.size());
  if (length > Remaining()) return false;
  const int start = fromFront ? front_ : back_ - length + 1;
  for (int i = 0; i < length; ++i) {
    const char16_t expected = value[static_cast<std::size_t>(i)];
    const char16_t actual = stem_[static_cast<std::size_t>(start + i)];
    if (IsInvalidFileNameChar(expected) ? actual != replacement : Fold(expected) != Fold(actual)) {
      return false;
    }
  }
  if (fromFront) {
    front_ += length;
  } else {
    back_ -= length;
  }
  return true;
}

bool ClauseReader::TakeNumber(const PatternToken& token, bool fromFront) {
  int start = 0;
  int count = 0;
  if (fromFront) {
    const int end = static_cast<int>(stem_.size());
    while (front_ + count < end &&
           IsDecimalDigit(stem_[static_cast<std::size_t>(front_ + count)])) {
      ++count;
    }
    start = front_;
  } else {
    while (back_ - count >= front_ &&
           IsDecimalDigit(stem_[static_cast<std::size_t>(back_ - count)])) {
      ++count;
    }
    start = back_ - count + 1;
  }
  if (count == 0) return false;
  std::uint32_t value = 0;
  if (Failed(ParseUInt32(stem_.data() + start, count, &value))) return false;
  if (value < token.value || count < token.digits) return false;
  cost_ += static_cast<std::uint32_t>(count - token.digits);
  if (token.sub == kKeywordAuto) {
    number_ = value;
    autoNumberRead_ = true;
  } else if (!autoNumberRead_) {
    number_ = value;
  }
  if (fromFront) {
    front_ += count;
  } else {
    back_ -= count;
  }
  return true;
}

bool ClauseReader::TakeOriginalName(bool fromFront) {
  if ((photo_.flags & kPhotoNamed) == 0)
    return TakeText(StemOf(photo_.originalFileName.View()), fromFront);
  // A named photo: look for the camera's name embedded in the file name.
  const std::u16string_view original = photo_.originalFileName.View();
  if (!HasThreeCharacterExtension(original) || Remaining() < kCameraStemLength) return false;
  const int start = fromFront ? front_ : back_ - kCameraStemLength + 1;
  const char16_t* candidate = stem_.data() + start;
  if (!IsCameraStem(candidate)) return false;
  // The camera's name is now known: those eight characters with the original extension.
  char16_t name[kCameraNameLength];
  std::u16string_view(candidate, kCameraStemLength).copy(name, kCameraStemLength);
  original.substr(original.size() - 4).copy(name + kCameraStemLength, 4);
  failure_ = photo_.originalFileName.Assign(name, kCameraNameLength);
  if (Failed(failure_)) return false;
  SetClassification(&photo_, false, false, true);
  if (fromFront) {
    front_ += kCameraStemLength;
  } else {
    back_ -= kCameraStemLength;
  }
  return true;
}

bool ClauseReader::OriginalStandsAt(bool fromFront) const {
  const std::u16string_view original = photo_.originalFileName.View();
  const int remaining = Remaining();
  if ((photo_.flags & kPhotoNamed) == 0) {
    const std::u16string_view stem = StemOf(original);
    const int length = static_cast<int>(stem.size());
    if (length > remaining) return false;
    return SameText(stem_.data() + (fromFront ? front_ : back_ - length + 1), stem);
  }
  if (!HasThreeCharacterExtension(original) || remaining < kCameraStemLength) return false;
  return IsCameraStem(stem_.data() + (fromFront ? front_ : back_ - kCameraStemLength + 1));
}

bool ClauseReader::OriginalTokenPending(int baseIndex) const {
  for (int i = frontToken_; i <= backToken_; ++i) {
    PatternToken token;
    if (i != baseIndex && Decode(i, &token) && token.kind == kTokenName &&
        token.sub == kKeywordOrig) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsCameraGeneratedName(std::u16string_view fileName, const PhotoExtensionLookup* extensions,
                           std::uint32_t* number) {
  if (number != nullptr) *number = 0;
  if (fileName.size() != static_cast<std::size_t>(kCameraNameLength) || extensions == nullptr) {
    return false;
  }
  const int dot = FindExtensionDot(fileName);
  if (dot < 0 ||
      !extensions->IsPhotoExtension(fileName.substr(static_cast<std::size_t>(dot) + 1))) {
    return false;
  }
  // The eight characters are read even when the dot comes earlier; a dot is no digit.
  if (!IsCameraStem(fileName.data())) return false;
  if (number != nullptr) {
    int start = dot;
    while (start > 0 && IsDecimalDigit(fileName[static_cast<std::size_t>(start - 1)])) --start;
    // The name is camera-made whatever its number; a number too long to hold is left as parsed.
    IgnoreStatus(ParseUInt32(fileName.data() + start, dot - start, number));
  }
  return true;
}

bool IsAutomaticPattern(const NamingPattern& pattern) {
  return pattern.IsBuiltIn() && pattern.definition.View() == u" ";
}

Status MatchName(const NamingPattern* pattern, PhotoFacts* photo, const CountedString* fileName,
                 const PhotoExtensionLookup* extensions, NameMatch* result,
                 const DateLocale* locale) {
  if (result != nullptr) *result = NameMatch{};
  if (pattern == nullptr || photo == nullptr || fileName == nullptr || result == nullptr) {
    return E_INVALIDARG;
  }
  if (IsAutomaticPattern(*pattern)) {
    std::uint32_t number = 0;
    if (IsCameraGeneratedName(fileName->View(), extensions, &number)) {
      result->matched = true;
      result->rank = 2;
      result->number = number;
    }
    return S_OK;
  }
  const CompiledPattern& compiled = pattern->compiled;
  if (compiled.IsEmpty()) return E_INVALID_INPUT;
  const std::u16string_view stem = StemOf(fileName->View());
  const DateLocale& dates = locale != nullptr ? *locale : DateLocale::UserDefault();
  // The larger clause first; of two equal ones the later.
  int order[2] = {0, 1};
  const int clauses = compiled.ClauseCount();
  if (clauses == 2 && compiled.ClauseDataWords(1) >= compiled.ClauseDataWords(0)) {
    order[0] = 1;
    order[1] = 0;
  }
  for (int k = 0; k < clauses && k < 2; ++k) {
    ClauseReader reader(compiled, order[k], *photo, stem, dates);
    if (reader.Read(result)) return S_OK;
    if (Failed(reader.Failure())) return reader.Failure();
  }
  return S_OK;
}

PatternListView PatternListView::Naming(const PatternCatalogue& catalogue) {
  PatternListView view;
  view.catalogue_ = &catalogue;
  return view;
}

PatternListView PatternListView::AutomaticList(const PatternCatalogue& catalogue) {
  PatternListView view;
  view.catalogue_ = &catalogue;
  view.automatic_ = true;
  return view;
}

int PatternListView::Count() const {
  if (array_ != nullptr) return array_->Count();
  return automatic_ ? catalogue_->AutomaticCount() : catalogue_->Count();
}

const NamingPattern& PatternListView::At(int index) const {
  if (array_ != nullptr) return array_->At(index);
  return automatic_ ? catalogue_->AutomaticAt(index) : catalogue_->At(index);
}

Status FindBestPattern(const PatternListView* list, PhotoFacts* photo,
                       const CountedString* fileName, const PhotoExtensionLookup* extensions,
                       BestPattern* result, const DateLocale* locale) {
  if (result != nullptr) *result = BestPattern{};
  if (list == nullptr || photo == nullptr || fileName == nullptr || result == nullptr) {
    return E_INVALIDARG;
  }
  NameMatch best;
  bool bestBuiltIn = false;
  const int count = list->Count();
  for (int i = 0; i < count && i < kNoPatternMatched; ++i) {
    const NamingPattern& pattern = list->At(i);
    if (pattern.IsDeleted() || !pattern.IsUsable()) continue;
    NameMatch match;
    const Status status = MatchName(&pattern, photo, fileName, extensions, &match, locale);
    if (status == E_OUTOFMEMORY) return status;
    if (Failed(status) || !match.matched) continue;
    const bool better = match.baseLength == 0 || !best.matched || match.rank > best.rank ||
                        (match.rank == best.rank &&
                         (match.cost < best.cost || match.baseLength < best.baseLength ||
                          (match.cost == best.cost && match.baseLength == best.baseLength &&
                           bestBuiltIn && !pattern.IsBuiltIn())));
    if (better) {
      best = match;
      bestBuiltIn = pattern.IsBuiltIn();
      result->index = static_cast<std::uint16_t>(i);
      result->baseStart = match.baseStart;
      result->baseLength = match.baseLength;
      result->number = match.number;
    }
    if (match.baseLength == 0) break;
  }
  return S_OK;
}

}  // namespace lumatag
