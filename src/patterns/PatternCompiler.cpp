#include "patterns/PatternCompiler.h"

#include "foundation/Numbers.h"
#include "foundation/StringTable.h"
#include "patterns/KeywordTable.h"
#include "ports/Messages.h"

namespace lumatag {

namespace {

// ---------------------------------------------------------------------------------------------
// Lexical scan

enum class Lex : std::uint8_t { End, Word, Quoted, Colon, Semicolon, LeftBracket, RightBracket };

struct Lexeme {
  Lex kind = Lex::End;
  int start = 0;    // first character; the opening quote of a quoted word
  int end = 0;      // one past the last character
  int escapes = 0;  // escapes ("[[]", "[]]", "[;]") in a word, each 3 characters for 1
  // Inside brackets: a plain word without surrounding white space, or a quoted word's content.
  std::u16string_view text;
  std::uint16_t keyword = kKeywordNone;  // inside brackets: the code of a plain word
};

// What the scanner makes of a character.
enum CharClass : std::uint8_t {
  kPlain,    // collected into the current word
  kInvalid,  // no file name can hold it, so no definition may contain it anywhere
  kQuote,
  kColon,
  kSemicolon,
  kLeftBracket,
  kRightBracket,
};

struct CharClassTable {
  constexpr CharClassTable() : classes{} {
    for (char c : {'<', '>', '?', '*', '/', '\\', '|'}) classes[static_cast<int>(c)] = kInvalid;
    classes[static_cast<int>('"')] = kQuote;
    classes[static_cast<int>(':')] = kColon;
    classes[static_cast<int>(';')] = kSemicolon;
    classes[static_cast<int>('[')] = kLeftBracket;
    classes[static_cast<int>(']')] = kRightBracket;
  }
  CharClass classes[128];
};
constexpr CharClassTable kCharClasses;

inline CharClass ClassOf(char16_t c) {
  return c < 128 ? kCharClasses.classes[c] : kPlain;
}

bool IsEscapedCharacter(char16_t c) {
  return c == u'[' || c == u']' || c == u';';
}

std::u16string_view Trim(std::u16string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsWideSpace(text[first])) ++first;
  while (last > first && IsWideSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// Reads the definition one character at a time. The parser says whether the scan is inside square
// brackets; the scanner keeps the current position and the starts of the last two lexemes for the
// error positions.
class Scanner {
 public:
  Scanner(std::u16string_view text, const KeywordTable& keywords)
      : text_(text), size_(static_cast<int>(text.size())), keywords_(keywords) {}

  void SetInside(bool inside) { inside_ = inside; }

  // False when a character is rejected; RejectedId() and RejectedIndex() say which and where.
  bool Next(Lexeme* out) {
    previousStart_ = tokenStart_;
    const int start = position_;
    tokenStart_ = start;
    Lexeme lexeme;
    lexeme.start = start;
    if (start >= size_) {
      lexeme.start = lexeme.end = size_;
      *out = lexeme;
      return true;
    }
    int i = start;
    bool quoted = false;
    while (i < size_) {
      const char16_t c = text_[i];
      const CharClass type = ClassOf(c);
      if (type == kPlain) {
        ++i;
        continue;
      }
      if (type == kInvalid) return Reject(IDS_ERR_INVALID_CHARACTER_CONTEXT, i);
      if (quoted) {
        // Inside a quoted string only the closing quote and the colon mean anything.
        if (type == kColon) return Reject(IDS_ERR_INVALID_CHARACTER_CONTEXT, i);
        if (type == kQuote) {
          // The closing quote ends the word and is consumed.
          position_ = i + 1;
          lexeme.kind = Lex::Quoted;
          lexeme.end = position_;
          lexeme.text = text_.substr(start + 1, i - start - 1);
          *out = lexeme;
          return true;
        }
        ++i;
        continue;
      }
      const bool collected = i > start;
      if (type == kQuote) {
        if (!inside_) return Reject(IDS_ERR_INVALID_CHARACTER_CONTEXT, i);
        if (collected) break;  // read again as the next lexeme
        quoted = true;
        ++i;
        continue;
      }
      if (type == kColon) {
        if (!inside_) return Reject(IDS_ERR_INVALID_CHARACTER_CONTEXT, i);
        if (collected) break;
        return Single(Lex::Colon, i, out);
      }
      if (type == kSemicolon) {
        if (collected) break;
        return Single(Lex::Semicolon, i, out);
      }
      if (type == kLeftBracket) {
        if (i + 2 < size_ && text_[i + 2] == u']' && IsEscapedCharacter(text_[i + 1])) {
          ++lexeme.escapes;
          i += 3;
          continue;
        }
        if (collected) break;
        return Single(Lex::LeftBracket, i, out);
      }
      if (collected) break;  // a right bracket
      return Single(Lex::RightBracket, i, out);
    }
    if (quoted) return Reject(IDS_ERR_CLOSING_QUOTE_MISSING, size_);
    position_ = i;
    lexeme.kind = Lex::Word;
    lexeme.end = i;
    if (inside_) {
      lexeme.text = Trim(text_.substr(start, i - start));
      // A word holding an escape has a "[", "]" or ";" in it and is never a keyword.
      if (lexeme.escapes == 0) lexeme.keyword = keywords_.Lookup(lexeme.text);
    } else {
      lexeme.text = text_.substr(start, i - start);
    }
    *out = lexeme;
    return true;
  }

  int Position() const { return position_; }
  int TokenStart() const { return tokenStart_; }
  int PreviousStart() const { return previousStart_; }
  std::uint16_t RejectedId() const { return rejectedId_; }
  int RejectedIndex() const { return rejectedIndex_; }

 private:
  bool Single(Lex kind, int at, Lexeme* out) {
    position_ = at + 1;
    out->kind = kind;
    out->start = at;
    out->end = at + 1;
    out->escapes = 0;
    out->text = {};
    out->keyword = kKeywordNone;
    return true;
  }
  bool Reject(std::uint16_t id, int index) {
    rejectedId_ = id;
    rejectedIndex_ = index;
    return false;
  }

  std::u16string_view text_;
  int size_;
  const KeywordTable& keywords_;
  bool inside_ = false;
  int position_ = 0;
  int tokenStart_ = 0;
  int previousStart_ = 0;
  std::uint16_t rejectedId_ = 0;
  int rejectedIndex_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Grammar and code generation

// What pass 1 learns and pass 2 must reproduce.
struct PassTotals {
  std::uint64_t words = 0;
  int clauses = 0;
  int tokens = 0;
  int separator = -1;
};

struct ClauseState {
  int tokens = 0;
  std::uint32_t dataWords = 0;
  bool hasBase = false;
  bool hasAuto = false;
  std::uint32_t autoValue = 0;
};

// One pass over the definition. Without a block it only counts and checks; with a block (sized
// from the first pass's totals) it writes the compiled form and moves the insertion point.
class Pass {
 public:
  Pass(std::u16string_view text, const KeywordTable& keywords, std::uint16_t* block,
       const PassTotals* planned, int* insertionPoint)
      : text_(text),
        scanner_(text, keywords),
        block_(block),
        planned_(planned),
        insertionPoint_(insertionPoint) {}

  bool Run();
  const PassTotals& Totals() const { return totals_; }
  const CompileError& Error() const { return error_; }

 private:
  bool Fail(std::uint16_t id, int index) {
    error_.messageId = id;
    error_.index = index;
    return false;
  }
  bool FailCurrent(std::uint16_t id) { return Fail(id, scanner_.Position()); }
  bool FailPrevious(std::uint16_t id) { return Fail(id, scanner_.PreviousStart()); }
  bool Internal() { return Fail(IDS_ERR_PARSING_DEFINITION, 0); }
  bool Next(Lexeme* lexeme) {
    if (scanner_.Next(lexeme)) return true;
    return Fail(scanner_.RejectedId(), scanner_.RejectedIndex());
  }

  bool Bracketed();
  bool NameToken();
  bool DateToken();
  bool NumberToken(const Lexeme& head);
  bool MetadataToken();
  bool Suffix(Lexeme* suffix);
  bool Close();
  bool SuffixThenClose(std::uint16_t first, std::uint16_t second, std::uint16_t* sub);
  bool Separator(const Lexeme& semicolon);
  bool FinishClause();

  // Accounts for a token of `dataWords` words whose text ends before character `spanEnd` and, in
  // the writing pass, gives the place to write it (false on a disagreement with the first pass).
  enum class Span { Literal, Bracketed, Separator };
  bool BeginToken(int dataWords, Span span, int spanEnd, std::uint16_t** place);
  bool EmitLiteral(const Lexeme& word);
  void MoveInsertionPoint(Span span, int spanEnd);

  std::u16string_view text_;
  Scanner scanner_;
  std::uint16_t* block_;
  const PassTotals* planned_;
  int* insertionPoint_;
  bool insertionMoved_ = false;
  PassTotals totals_;
  ClauseState clause_;
  bool firstClauseHasAuto_ = false;
  std::uint32_t firstClauseAuto_ = 0;
  std::uint32_t dataOffset_ = 0;  // writing pass: next free word of the token data
  CompileError error_;
};

bool Pass::Run() {
  totals_.words = 5;
  totals_.clauses = 1;
  if (block_ != nullptr) {
    const std::uint32_t n = static_cast<std::uint32_t>(planned_->clauses);
    block_[0] = static_cast<std::uint16_t>(planned_->words * 2 - 2);
    block_[1] = static_cast<std::uint16_t>(n);
    block_[2 + 2 * n] = static_cast<std::uint16_t>(planned_->tokens);
  }
  for (;;) {
    Lexeme lexeme;
    if (!Next(&lexeme)) return false;
    switch (lexeme.kind) {
      case Lex::End:
        if (clause_.tokens == 0) return Fail(IDS_ERR_EMPTY_CLAUSE, scanner_.TokenStart());
        if (!FinishClause()) return false;
        if (block_ != nullptr && insertionPoint_ != nullptr && !insertionMoved_ &&
            *insertionPoint_ > static_cast<int>(text_.size())) {
          *insertionPoint_ = static_cast<int>(text_.size());
        }
        return true;
      case Lex::Word:
        if (!EmitLiteral(lexeme)) return false;
        break;
      case Lex::Semicolon:
        if (!Separator(lexeme)) return false;
        break;
      case Lex::LeftBracket:
        if (!Bracketed()) return false;
        break;
      case Lex::RightBracket:
        return FailCurrent(IDS_ERR_LEFT_BRACKET_EXPECTED);
      default:
        // Colons and quotes are rejected by the scanner outside brackets.
        return Internal();
    }
  }
}

bool Pass::FinishClause() {
  if (block_ != nullptr) {
    const int k = totals_.clauses - 1;
    block_[2 + 2 * k] = static_cast<std::uint16_t>(clause_.dataWords * 2);
    block_[3 + 2 * k] = static_cast<std::uint16_t>(clause_.tokens);
  }
  return true;
}

bool Pass::Separator(const Lexeme& semicolon) {
  if (totals_.clauses == 2) return Fail(IDS_ERR_TOO_MANY_CLAUSES, semicolon.start);
  if (clause_.tokens == 0) return Fail(IDS_ERR_EMPTY_CLAUSE, semicolon.start);
  FinishClause();
  firstClauseHasAuto_ = clause_.hasAuto;
  firstClauseAuto_ = clause_.autoValue;
  totals_.separator = semicolon.start;
  totals_.words += 2;  // the second clause's entry in the clause table
  std::uint16_t* place = nullptr;
  if (!BeginToken(1, Span::Separator, semicolon.end, &place)) return false;
  if (place != nullptr) place[0] = kTokenSeparator;
  totals_.clauses = 2;
  clause_ = ClauseState();
  return true;
}

bool Pass::BeginToken(int dataWords, Span span, int spanEnd, std::uint16_t** place) {
  totals_.words += 1 + static_cast<std::uint64_t>(dataWords);
  if (span != Span::Separator) {
    ++clause_.tokens;
    clause_.dataWords += static_cast<std::uint32_t>(dataWords);
  }
  const int position = totals_.tokens++;
  *place = nullptr;
  if (block_ == nullptr) return true;
  // The writing pass must never go past what the counting pass planned.
  const std::uint64_t dataStart =
      2 * static_cast<std::uint64_t>(planned_->clauses) + 3 + planned_->tokens;
  if (position >= planned_->tokens || totals_.clauses > planned_->clauses ||
      dataStart + dataOffset_ + dataWords > planned_->words) {
    return Internal();
  }
  block_[2 * planned_->clauses + 3 + position] = static_cast<std::uint16_t>(dataOffset_);
  *place = block_ + dataStart + dataOffset_;
  dataOffset_ += static_cast<std::uint32_t>(dataWords);
  if (insertionPoint_ != nullptr && !insertionMoved_ && *insertionPoint_ != 0 &&
      spanEnd >= *insertionPoint_) {
    insertionMoved_ = true;
    MoveInsertionPoint(span, spanEnd);
  }
  return true;
}

// The insertion point falls inside (or at the end of) this token: out of a bracketed token to
// its end; out of the middle of an escape to the escape's end.
void Pass::MoveInsertionPoint(Span span, int spanEnd) {
  int& at = *insertionPoint_;
  if (span == Span::Bracketed) {
    at = spanEnd;
    return;
  }
  if (span != Span::Literal || at <= 0) return;
  const int size = static_cast<int>(text_.size());
  const char16_t before = text_[at - 1];
  const char16_t here = at < size ? text_[at] : 0;
  if (before == u'[' && (here == u';' || here == u'[')) {
    at += 2;
  } else if (before == u'[' && here == u']') {
    // "[]]" from its middle, or "[[]" just before its closing bracket.
    at += (at >= 2 && text_[at - 2] == u'[') ? 1 : 2;
  } else if (here == u']') {
    at += 1;
  }
}

bool Pass::EmitLiteral(const Lexeme& word) {
  const int length = (word.end - word.start) - 2 * word.escapes;
  if (length > 65535) return Fail(IDS_ERR_LITERAL_TOO_LONG, word.start);
  std::uint16_t* place = nullptr;
  if (!BeginToken(2 + length, Span::Literal, word.end, &place)) return false;
  if (place == nullptr) return true;
  place[0] = kTokenLiteral;
  place[1] = static_cast<std::uint16_t>(length);
  std::uint16_t* out = place + 2;
  for (int i = word.start; i < word.end; ++i) {
    // Inside a literal a "[" only ever starts an escape: its middle character is the text.
    if (text_[i] == u'[') {
      *out++ = text_[i + 1];
      i += 2;
    } else {
      *out++ = text_[i];
    }
  }
  return true;
}

bool Pass::Bracketed() {
  scanner_.SetInside(true);
  Lexeme head;
  if (!Next(&head)) return false;
  bool ok = false;
  switch (head.kind) {
    case Lex::End:
      return FailCurrent(IDS_ERR_RIGHT_BRACKET_EXPECTED);
    case Lex::RightBracket:
    case Lex::Colon:
      return FailCurrent(IDS_ERR_TOKEN_EXPECTED);
    case Lex::LeftBracket:
    case Lex::Semicolon:
    case Lex::Quoted:
      return FailCurrent(IDS_ERR_INVALID_CHARACTER_CONTEXT);
    case Lex::Word:
      if (head.keyword == kKeywordName) {
        ok = NameToken();
      } else if (head.keyword == kKeywordDate) {
        ok = DateToken();
      } else if (head.keyword == kKeywordMetadata) {
        ok = MetadataToken();
      } else if (head.keyword != kKeywordNone) {
        return FailCurrent(IDS_ERR_TOKEN_EXPECTED);
      } else if (head.text.empty() || !IsDecimalDigit(head.text[0])) {
        return FailCurrent(IDS_ERR_UNRECOGNIZED_TOKEN);
      } else {
        ok = NumberToken(head);
      }
      break;
  }
  scanner_.SetInside(false);
  return ok;
}

// After ":": the suffix word.
bool Pass::Suffix(Lexeme* suffix) {
  if (!Next(suffix)) return false;
  switch (suffix->kind) {
    case Lex::Word:
      return true;
    case Lex::End:
      return FailCurrent(IDS_ERR_RIGHT_BRACKET_EXPECTED);
    case Lex::Quoted:
      return FailCurrent(IDS_ERR_INVALID_CHARACTER_CONTEXT);
    default:
      return FailCurrent(IDS_ERR_SUFFIX_EXPECTED);
  }
}

// The closing "]" after a complete token.
bool Pass::Close() {
  Lexeme lexeme;
  if (!Next(&lexeme)) return false;
  if (lexeme.kind == Lex::RightBracket) return true;
  if (lexeme.kind == Lex::Quoted) return FailCurrent(IDS_ERR_INVALID_CHARACTER_CONTEXT);
  return FailCurrent(IDS_ERR_RIGHT_BRACKET_EXPECTED);
}

// An optional ":" suffix, which must be `first` (also the default) or `second`, then the closing
// "]". A quoted picture is out of place on these tokens.
bool Pass::SuffixThenClose(std::uint16_t first, std::uint16_t second, std::uint16_t* sub) {
  *sub = first;
  Lexeme lexeme;
  if (!Next(&lexeme)) return false;
  if (lexeme.kind == Lex::Colon) {
    Lexeme suffix;
    if (!Suffix(&suffix)) return false;
    if (suffix.keyword != first && suffix.keyword != second) {
      return FailCurrent(IDS_ERR_SUFFIX_NOT_SUPPORTED);
    }
    *sub = suffix.keyword;
    return Close();
  }
  if (lexeme.kind == Lex::Quoted) return FailCurrent(IDS_ERR_INVALID_CHARACTER_CONTEXT);
  if (lexeme.kind != Lex::RightBracket) return FailCurrent(IDS_ERR_RIGHT_BRACKET_EXPECTED);
  return true;
}

bool Pass::NameToken() {
  std::uint16_t sub = kKeywordBase;
  if (!SuffixThenClose(kKeywordBase, kKeywordOrig, &sub)) return false;
  if (sub == kKeywordBase) {
    if (clause_.hasBase) return FailPrevious(IDS_ERR_BASE_NAME_TWICE);
    clause_.hasBase = true;
  }
  std::uint16_t* place = nullptr;
  if (!BeginToken(2, Span::Bracketed, scanner_.Position(), &place)) return false;
  if (place != nullptr) {
    place[0] = kTokenName;
    place[1] = sub;
  }
  return true;
}

bool Pass::DateToken() {
  std::uint16_t sub = kKeywordPic;
  Lexeme lexeme;
  if (!Next(&lexeme)) return false;
  if (lexeme.kind == Lex::Colon) {
    Lexeme suffix;
    if (!Suffix(&suffix)) return false;
    if (suffix.keyword != kKeywordPic && suffix.keyword != kKeywordFile) {
      return FailCurrent(IDS_ERR_SUFFIX_NOT_SUPPORTED);
    }
    sub = suffix.keyword;
    if (!Next(&lexeme)) return false;
  }
  if (lexeme.kind == Lex::RightBracket) return FailPrevious(IDS_ERR_FORMAT_MISSING);
  if (lexeme.kind != Lex::Quoted) return FailCurrent(IDS_ERR_RIGHT_BRACKET_EXPECTED);
  const std::u16string_view picture = lexeme.text;
  if (!Close()) return false;
  if (picture.empty()) return FailPrevious(IDS_ERR_FORMAT_MISSING);
  const int length = static_cast<int>(picture.size());
  std::uint16_t* place = nullptr;
  if (!BeginToken(4 + length, Span::Bracketed, scanner_.Position(), &place)) return false;
  if (place != nullptr) {
    place[0] = kTokenDate;
    place[1] = sub;
    place[2] = static_cast<std::uint16_t>(length);
    for (int i = 0; i < length; ++i) place[3 + i] = picture[static_cast<std::size_t>(i)];
    place[3 + length] = 0;
  }
  return true;
}

bool Pass::NumberToken(const Lexeme& head) {
  std::uint32_t value = 0;
  const Status parsed = ParseUInt32(head.text.data(), static_cast<int>(head.text.size()), &value);
  if (parsed == E_VALUE_OUT_OF_RANGE) return FailCurrent(IDS_ERR_INTEGER_TOO_BIG_NUMBER);
  if (Failed(parsed)) return FailCurrent(IDS_ERR_INVALID_CHARACTER_INTEGER);
  if (head.text.size() > 10) return FailCurrent(IDS_ERR_TOO_MANY_DIGITS);
  const std::uint16_t digits = static_cast<std::uint16_t>(head.text.size());

  std::uint16_t sub = kKeywordAuto;
  if (!SuffixThenClose(kKeywordAuto, kKeywordOrig, &sub)) return false;

  // Auto numbers of one clause count together, and the second clause goes on from the first.
  if (sub == kKeywordAuto) {
    if (!clause_.hasAuto) {
      if (totals_.clauses == 2 && firstClauseHasAuto_ &&
          static_cast<std::uint64_t>(value) != static_cast<std::uint64_t>(firstClauseAuto_) + 1) {
        return FailPrevious(IDS_ERR_SECOND_CLAUSE_INCREMENT);
      }
      clause_.hasAuto = true;
      clause_.autoValue = value;
    } else if (value != clause_.autoValue) {
      return FailPrevious(IDS_ERR_INCREMENT_MISMATCH);
    }
  }

  std::uint16_t* place = nullptr;
  if (!BeginToken(5, Span::Bracketed, scanner_.Position(), &place)) return false;
  if (place != nullptr) {
    place[0] = kTokenNumber;
    place[1] = sub;
    place[2] = static_cast<std::uint16_t>(value & 0xFFFF);
    place[3] = static_cast<std::uint16_t>(value >> 16);
    place[4] = digits;
  }
  return true;
}

bool Pass::MetadataToken() {
  Lexeme lexeme;
  if (!Next(&lexeme)) return false;
  if (lexeme.kind == Lex::End) return FailCurrent(IDS_ERR_RIGHT_BRACKET_EXPECTED);
  if (lexeme.kind == Lex::Quoted) return FailCurrent(IDS_ERR_INVALID_CHARACTER_CONTEXT);
  if (lexeme.kind != Lex::Colon) return FailPrevious(IDS_ERR_SUFFIX_EXPECTED);

  Lexeme suffix;
  if (!Suffix(&suffix)) return false;
  std::uint16_t tag = 0;
  if (suffix.keyword >= kFirstMetadataKeyword && suffix.keyword <= kLastMetadataKeyword) {
    tag = MetadataTagForKeyword(suffix.keyword);
  } else if (suffix.keyword != kKeywordNone) {
    return FailCurrent(IDS_ERR_SUFFIX_NOT_SUPPORTED);
  } else if (suffix.text.empty()) {
    return FailCurrent(IDS_ERR_SUFFIX_EXPECTED);
  } else if (suffix.text[0] == u'x') {
    // A tag number in hexadecimal.
    const std::u16string_view digits = suffix.text.substr(1);
    if (digits.empty()) return FailCurrent(IDS_ERR_SUFFIX_EXPECTED);
    std::uint32_t value = 0;
    const Status parsed = ParseHex32(digits.data(), static_cast<int>(digits.size()), &value);
    if (parsed == E_VALUE_OUT_OF_RANGE || (Succeeded(parsed) && value > 0xFFFF)) {
      return FailCurrent(IDS_ERR_INTEGER_TOO_BIG_METADATA);
    }
    if (Failed(parsed)) return FailCurrent(IDS_ERR_INVALID_CHARACTER_HEX);
    tag = static_cast<std::uint16_t>(value);
  } else {
    const Status parsed =
        ParseUInt16(suffix.text.data(), static_cast<int>(suffix.text.size()), &tag);
    if (parsed == E_VALUE_OUT_OF_RANGE) return FailCurrent(IDS_ERR_INTEGER_TOO_BIG_METADATA);
    if (Failed(parsed)) return FailCurrent(IDS_ERR_INVALID_CHARACTER_INTEGER);
  }
  if (!Close()) return false;

  std::uint16_t* place = nullptr;
  if (!BeginToken(2, Span::Bracketed, scanner_.Position(), &place)) return false;
  if (place != nullptr) {
    place[0] = kTokenMetadata;
    place[1] = tag;
  }
  return true;
}

bool Report(AppContext& context, std::u16string_view definition, const CompileError& failure,
            CountedString* message, CompileError* error) {
  if (error != nullptr) *error = failure;
  const StringModule& module = *context.resourceModule;
  if (message != nullptr) {
    // A message that does not fit is cut; the failure itself is returned.
    IgnoreStatus(
        FormatCompileMessage(module, IDS_ERR_POSITION_MESSAGE, definition, failure, *message));
  } else {
    MessageString text;
    // A message that cannot be prepared is not shown; the failure is still returned.
    if (Succeeded(
            FormatCompileMessage(module, IDS_ERR_PATTERN_MESSAGE, definition, failure, text))) {
      ShowMessage(context, text.CStr(), MB_OK | MB_ICONERROR);
    }
  }
  return false;
}

}  // namespace

Status FormatCompileMessage(const StringModule& module, std::uint16_t templateId,
                            std::u16string_view definition, const CompileError& error,
                            CountedString& target) {
  LT_TRY(LoadString(module, templateId, target));
  // The definition goes in last, so that a "{2}" or "{3}" typed in it is shown as typed instead of
  // receiving the position or the error text.
  LT_TRY(SubstitutePlaceholderEntry(target, 3, module, error.messageId));
  FixedString<16> position;
  LT_TRY(FormatUInt32(position, static_cast<std::uint32_t>(error.index) + 1));
  LT_TRY(SubstitutePlaceholder(target, 2, position));
  const Status status = SubstitutePlaceholder(target, 1, definition);
  return status == E_NOT_FOUND ? S_OK : status;
}

Status CompileDefinition(AppContext& context, NamingPattern* pattern,
                         const CountedString* definition, int* insertionPoint,
                         CountedString* message, CompileError* error) {
  if (definition == nullptr) return E_INVALIDARG;
  return CompileDefinition(context, pattern, definition->View(), insertionPoint, message, error);
}

Status CompileDefinition(AppContext& context, NamingPattern* pattern, std::u16string_view text,
                         int* insertionPoint, CountedString* message, CompileError* error) {
  if (pattern == nullptr) return E_INVALIDARG;
  pattern->compiled.Free();
  // The Automatic pattern is matched by the camera-name test, never through a compiled form.
  if (pattern->IsBuiltIn() && text == u" ") return S_OK;

  const auto fail = [&](const CompileError& failure) {
    Report(context, text, failure, message, error);
    return E_FAIL;
  };
  const CompileError internal{IDS_ERR_PARSING_DEFINITION, 0};
  if (pattern->keywords == nullptr || !pattern->keywords->IsBuilt()) return fail(internal);

  Pass counting(text, *pattern->keywords, nullptr, nullptr, nullptr);
  if (!counting.Run()) return fail(counting.Error());
  const PassTotals& planned = counting.Totals();
  if (planned.words > static_cast<std::uint64_t>(kMaxCompiledWords)) {
    return fail({IDS_ERR_DEFINITION_TOO_LONG, 0});
  }
  pattern->separatorPosition = planned.separator;
  if (planned.words < 7) return fail(internal);

  CompiledPattern compiled;
  if (Failed(compiled.Allocate(pattern->heap, static_cast<int>(planned.words)))) {
    return fail(internal);
  }
  int moved = insertionPoint != nullptr ? *insertionPoint : 0;
  Pass writing(text, *pattern->keywords, compiled.MutableWords(), &planned,
               insertionPoint != nullptr ? &moved : nullptr);
  if (!writing.Run()) return fail(writing.Error());
  const PassTotals& written = writing.Totals();
  if (written.words != planned.words || written.clauses != planned.clauses ||
      written.tokens != planned.tokens) {
    return fail(internal);
  }
  pattern->compiled = std::move(compiled);
  if (insertionPoint != nullptr) *insertionPoint = moved;
  return S_OK;
}

Status EnsureCompiled(AppContext& context, NamingPattern* pattern, bool force, int* insertionPoint,
                      CountedString* message, CompileError* error) {
  if (pattern == nullptr) return E_INVALIDARG;
  if (force) pattern->compiled.Free();
  if (!pattern->compiled.IsEmpty()) return S_OK;
  return CompileDefinition(context, pattern, &pattern->definition, insertionPoint, message, error);
}

Status CanProduceUniqueNames(const NamingPattern* pattern, bool* answer) {
  if (pattern == nullptr || answer == nullptr) return E_INVALIDARG;
  const CompiledPattern& compiled = pattern->compiled;
  if (compiled.IsEmpty()) return E_UNEXPECTED;
  *answer = false;
  const int last = compiled.ClauseCount() - 1;
  const int first = compiled.FirstTokenPosition(last, true);
  for (int i = 0; i < compiled.ClauseTokenCount(last); ++i) {
    const std::uint16_t* token = compiled.TokenAt(first + i);
    if (token[0] == kTokenNumber || (token[0] == kTokenName && token[1] == kKeywordOrig)) {
      *answer = true;
      break;
    }
  }
  return S_OK;
}

Status WriteCanonicalDefinition(const CompiledPattern& compiled, const KeywordTable& keywords,
                                CountedString& target) {
  target.Clear();
  if (compiled.IsEmpty()) return E_UNEXPECTED;
  const std::uint16_t* end = compiled.Words() + compiled.WordCount();
  FixedString<16> number;
  for (int i = 0; i < compiled.TotalTokenCount(); ++i) {
    const std::uint16_t* at = compiled.TokenAt(i);
    PatternToken token;
    if (!DecodePatternToken(at, static_cast<std::size_t>(end - at), &token)) return E_UNEXPECTED;
    switch (token.kind) {
      case kTokenLiteral:
        for (char16_t c : token.text) {
          if (IsEscapedCharacter(c)) {
            const char16_t escape[3] = {u'[', c, u']'};
            LT_TRY(target.Append(escape, 3));
          } else {
            LT_TRY(target.Append(c));
          }
        }
        break;
      case kTokenName:
        LT_TRY(target.Append(u'['));
        LT_TRY(target.Append(keywords.Word(kKeywordName)));
        if (token.sub != kKeywordBase) {
          LT_TRY(target.Append(u':'));
          LT_TRY(target.Append(keywords.Word(token.sub)));
        }
        LT_TRY(target.Append(u']'));
        break;
      case kTokenDate:
        LT_TRY(target.Append(u'['));
        LT_TRY(target.Append(keywords.Word(kKeywordDate)));
        if (token.sub != kKeywordPic) {
          LT_TRY(target.Append(u':'));
          LT_TRY(target.Append(keywords.Word(token.sub)));
        }
        LT_TRY(target.Append(u" \""));
        LT_TRY(target.Append(token.text));
        LT_TRY(target.Append(u"\"]"));
        break;
      case kTokenNumber:
        LT_TRY(target.Append(u'['));
        LT_TRY(FormatUInt32Padded(number, token.value, token.digits));
        LT_TRY(target.Append(number));
        if (token.sub != kKeywordAuto) {
          LT_TRY(target.Append(u':'));
          LT_TRY(target.Append(keywords.Word(token.sub)));
        }
        LT_TRY(target.Append(u']'));
        break;
      case kTokenMetadata: {
        LT_TRY(target.Append(u'['));
        LT_TRY(target.Append(keywords.Word(kKeywordMetadata)));
        LT_TRY(target.Append(u':'));
        const std::uint16_t code = KeywordForMetadataTag(token.tag);
        if (code != kKeywordNone && !keywords.Word(code).empty()) {
          LT_TRY(target.Append(keywords.Word(code)));
        } else {
          LT_TRY(FormatUInt16(number, token.tag));
          LT_TRY(target.Append(number));
        }
        LT_TRY(target.Append(u']'));
        break;
      }
      default:
        LT_TRY(target.Append(u';'));
        break;
    }
  }
  return S_OK;
}

}  // namespace lumatag
