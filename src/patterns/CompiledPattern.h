// The compiled form of a pattern definition: one block of unsigned 16-bit words that generation
// and matching walk without further allocation.
//
// Layout (in words):
//   [0]            size of the block in bytes minus 2
//   [1]            clause count n (1 or 2)
//   [2 .. 2n+1]    clause table: per clause, the byte size of its token data and its token count,
//                  neither counting the separator token
//   [2n+2]         T, the number of tokens of the whole definition, separator included
//   [2n+3 ..]      token index: T word offsets from the start of the token data
//   [2n+3+T ..]    token data, in definition order; the separator token sits between the clauses
//
// Token encodings (every token starts with its kind word):
//   literal   0, L, L characters
//   name      1, sub (7 base name, 9 original file name)
//   date      2, sub (10 picture taken, 8 file created), L, L picture characters, 0
//   number    3, sub (6 auto, 9 from the original name), value low, value high, digits
//   metadata  4, tag
//   separator 5
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/PrivateHeap.h"
#include "foundation/Status.h"

namespace lumatag {

enum PatternTokenKind : std::uint16_t {
  kTokenLiteral = 0,
  kTokenName = 1,
  kTokenDate = 2,
  kTokenNumber = 3,
  kTokenMetadata = 4,
  kTokenSeparator = 5,
};

// The largest compiled block: its byte size minus 2 must fit in the size word.
inline constexpr int kMaxCompiledWords = 32768;

// One token read back from the token data.
struct PatternToken {
  std::uint16_t kind = 0;
  std::uint16_t sub = 0;     // name, date and number tokens
  std::u16string_view text;  // literal text or date picture
  std::uint32_t value = 0;   // number: the start value
  std::uint16_t digits = 0;  // number: the minimum width
  std::uint16_t tag = 0;     // metadata: the tag number
  int words = 0;             // words the token occupies in the token data
};

class CompiledPattern {
 public:
  CompiledPattern() = default;
  ~CompiledPattern() { Free(); }
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;
  CompiledPattern(CompiledPattern&& other) noexcept : heap_(other.heap_), words_(other.words_) {
    other.words_ = nullptr;
  }
  CompiledPattern& operator=(CompiledPattern&& other) noexcept;

  // Allocates an uninitialised block of `count` words from `heap`, replacing any block held.
  Status Allocate(PrivateHeap* heap, int count);
  void Free();
  // An exact copy of `source`'s block (size word + 2 bytes), allocated from `heap`.
  Status CopyFrom(const CompiledPattern& source, PrivateHeap* heap);

  bool IsEmpty() const { return words_ == nullptr; }
  const std::uint16_t* Words() const { return words_; }
  std::uint16_t* MutableWords() { return words_; }
  // Total words of the block, from its size word.
  int WordCount() const { return words_ != nullptr ? (words_[0] + 2) / 2 : 0; }

  int ClauseCount() const { return words_ != nullptr ? words_[1] : 0; }
  // Words of a clause's token data, separator not counted; 0 for a clause that does not exist.
  int ClauseDataWords(int clause) const;
  // Tokens of a clause, separator not counted; 0 for a clause that does not exist.
  int ClauseTokenCount(int clause) const;
  // T: every token of the definition, the separator included.
  int TotalTokenCount() const;
  const std::uint16_t* TokenIndex() const;
  const std::uint16_t* TokenData() const;
  // Position in the token index of a clause's first token. For a later clause that entry is the
  // separator's; `skipSeparator` steps past it.
  int FirstTokenPosition(int clause, bool skipSeparator) const;
  // The first word of the token at `position` in the token index.
  const std::uint16_t* TokenAt(int position) const { return TokenData() + TokenIndex()[position]; }

 private:
  PrivateHeap* heap_ = nullptr;
  std::uint16_t* words_ = nullptr;
};

// Reads the token that starts at `token`. `available` is the number of words from `token` to the
// end of the block; a token that does not fit or has an unknown kind gives false.
bool DecodePatternToken(const std::uint16_t* token, std::size_t available, PatternToken* out);

// Checks every structural rule of a compiled block of `count` words: sizes, clause table, token
// index and token encodings agree with one another. Used by the fuzz target and the tests.
bool IsWellFormedCompiledPattern(const std::uint16_t* words, std::size_t count);

}  // namespace lumatag
