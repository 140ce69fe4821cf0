#include "patterns/CompiledPattern.h"

#include <cstring>

namespace lumatag {

CompiledPattern& CompiledPattern::operator=(CompiledPattern&& other) noexcept {
  if (this != &other) {
    Free();
    heap_ = other.heap_;
    words_ = other.words_;
    other.words_ = nullptr;
  }
  return *this;
}

Status CompiledPattern::Allocate(PrivateHeap* heap, int count) {
  Free();
  if (heap == nullptr || count <= 0) return E_INVALIDARG;
  void* block = heap->Allocate(static_cast<std::size_t>(count) * 2);
  if (block == nullptr) return E_OUTOFMEMORY;
  heap_ = heap;
  words_ = static_cast<std::uint16_t*>(block);
  return S_OK;
}

void CompiledPattern::Free() {
  if (words_ != nullptr) heap_->Free(words_);
  words_ = nullptr;
}

Status CompiledPattern::CopyFrom(const CompiledPattern& source, PrivateHeap* heap) {
  if (this == &source) return S_OK;
  if (source.IsEmpty()) {
    Free();
    return S_OK;
  }
  const std::size_t bytes = static_cast<std::size_t>(source.words_[0]) + 2;
  LT_TRY(Allocate(heap, static_cast<int>(bytes / 2)));
  std::memcpy(words_, source.words_, bytes);
  return S_OK;
}

int CompiledPattern::ClauseDataWords(int clause) const {
  if (clause < 0 || clause >= ClauseCount()) return 0;
  return words_[2 + 2 * clause] / 2;
}

int CompiledPattern::ClauseTokenCount(int clause) const {
  if (clause < 0 || clause >= ClauseCount()) return 0;
  return words_[3 + 2 * clause];
}

int CompiledPattern::TotalTokenCount() const {
  return words_ != nullptr ? words_[2 + 2 * ClauseCount()] : 0;
}

const std::uint16_t* CompiledPattern::TokenIndex() const {
  return words_ != nullptr ? words_ + 2 * ClauseCount() + 3 : nullptr;
}

const std::uint16_t* CompiledPattern::TokenData() const {
  return words_ != nullptr ? words_ + 2 * ClauseCount() + 3 + TotalTokenCount() : nullptr;
}

int CompiledPattern::FirstTokenPosition(int clause, bool skipSeparator) const {
  int position = 0;
  for (int k = 0; k < clause && k < ClauseCount(); ++k) position += ClauseTokenCount(k);
  // Every clause after the first begins with the separator's entry.
  if (clause >= 1) position += clause - 1 + (skipSeparator ? 1 : 0);
  return position;
}

bool DecodePatternToken(const std::uint16_t* token, std::size_t available, PatternToken* out) {
  if (token == nullptr || available < 1) return false;
  PatternToken t;
  t.kind = token[0];
  switch (t.kind) {
    case kTokenLiteral:
      if (available < 2 || token[1] == 0 || available < 2u + token[1]) return false;
      t.text = std::u16string_view(reinterpret_cast<const char16_t*>(token + 2), token[1]);
      t.words = 2 + token[1];
      break;
    case kTokenName:
      if (available < 2) return false;
      t.sub = token[1];
      t.words = 2;
      break;
    case kTokenDate:
      if (available < 4 || available < 4u + token[2] || token[3 + token[2]] != 0) return false;
      t.sub = token[1];
      t.text = std::u16string_view(reinterpret_cast<const char16_t*>(token + 3), token[2]);
      t.words = 4 + token[2];
      break;
    case kTokenNumber:
      if (available < 5) return false;
      t.sub = token[1];
      t.value = static_cast<std::uint32_t>(token[2]) | (static_cast<std::uint32_t>(token[3]) << 16);
      t.digits = token[4];
      t.words = 5;
      break;
    case kTokenMetadata:
      if (available < 2) return false;
      t.tag = token[1];
      t.words = 2;
      break;
    case kTokenSeparator:
      t.words = 1;
      break;
    default:
      return false;
  }
  *out = t;
  return true;
}

bool IsWellFormedCompiledPattern(const std::uint16_t* words, std::size_t count) {
  if (words == nullptr || count < 7 || count > static_cast<std::size_t>(kMaxCompiledWords)) {
    return false;
  }
  if (static_cast<std::size_t>(words[0]) + 2 != count * 2) return false;
  const std::size_t n = words[1];
  if (n != 1 && n != 2) return false;
  const std::size_t total = words[2 + 2 * n];
  const std::size_t dataStart = 2 * n + 3 + total;
  if (total != words[3] + (n == 2 ? words[5] + 1u : 0u) || dataStart > count) return false;
  const std::uint16_t* index = words + 2 * n + 3;
  const std::uint16_t* data = words + dataStart;
  const std::size_t dataWords = count - dataStart;
  // Tokens follow one another with no gap, in index order; the separator stands exactly between
  // the clauses and nowhere else.
  std::size_t expected = 0;
  std::size_t position = 0;
  for (std::size_t clause = 0; clause < n; ++clause) {
    if (clause > 0) {
      PatternToken separator;
      if (index[position] != expected ||
          !DecodePatternToken(data + expected, dataWords - expected, &separator) ||
          separator.kind != kTokenSeparator) {
        return false;
      }
      expected += 1;
      ++position;
    }
    const std::size_t tokens = words[3 + 2 * clause];
    if (tokens == 0) return false;
    std::size_t clauseWords = 0;
    for (std::size_t i = 0; i < tokens; ++i, ++position) {
      PatternToken token;
      if (index[position] != expected ||
          !DecodePatternToken(data + expected, dataWords - expected, &token) ||
          token.kind == kTokenSeparator) {
        return false;
      }
      expected += static_cast<std::size_t>(token.words);
      clauseWords += static_cast<std::size_t>(token.words);
    }
    if (words[2 + 2 * clause] != clauseWords * 2) return false;
  }
  return expected == dataWords;
}

}  // namespace lumatag
