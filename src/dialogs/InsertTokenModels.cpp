#include "dialogs/InsertTokenModels.h"

#include <algorithm>

#include "foundation/Numbers.h"
#include "foundation/StringIds.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/MetadataText.h"
#include "ports/TextComparer.h"

namespace lumatag {

namespace {

std::u16string Text(const StringModule& strings, std::uint16_t id) {
  CountedString text;
  if (Failed(LoadString(strings, id, text))) return {};
  return std::u16string(text.View());
}

SampleText ErrorSample(const StringModule& strings, std::uint16_t id) {
  return {Text(strings, id), true, id};
}

std::u16string Padded(std::uint32_t value, int digits) {
  FixedString<kGeneratedFieldCapacity> text;
  if (Failed(FormatUInt32Padded(text, value, digits))) return {};
  return std::u16string(text.View());
}

TokenResult Refused(std::uint16_t messageId, int focusControl) {
  TokenResult result;
  result.messageId = messageId;
  result.focusControl = focusControl;
  return result;
}

TokenResult Token(std::u16string token) {
  TokenResult result;
  result.accepted = true;
  result.token = std::move(token);
  return result;
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Insert Name

SampleText InsertNameModel::Sample() const {
  if (choice_ == kOriginalName) return SampleText::Plain(sample_.OriginalStem());
  return SampleText::Plain(sample_.BaseName().View());
}

TokenResult InsertNameModel::Accept() const {
  return Token(Text(strings_, choice_ == kOriginalName ? IDS_TOKEN_NAME_ORIG : IDS_TOKEN_NAME));
}

// ------------------------------------------------------------------------------------------------
// Insert Number

void InsertNumberModel::SetMinimumDigits(int digits) {
  digits_ = std::clamp(digits, 1, kMaxDigits);
}

std::uint16_t InsertNumberModel::ParseFirstNumber(std::uint32_t* value) const {
  const Status status =
      ParseUInt32(firstNumber_.data(), static_cast<int>(firstNumber_.size()), value);
  if (Succeeded(status)) return 0;
  if (status == E_NO_VALUE) return IDS_NO_VALUE;
  if (status == E_VALUE_OUT_OF_RANGE) return IDS_VALUE_OUT_OF_RANGE;
  return IDS_VALUE_NOT_AN_INTEGER;
}

SampleText InsertNumberModel::Sample() const {
  if (choice_ == kOriginalNumber) {
    return SampleText::Plain(Padded(kSampleOriginalNumber, digits_));
  }
  std::uint32_t first = 0;
  if (const std::uint16_t message = ParseFirstNumber(&first)) return ErrorSample(strings_, message);
  return SampleText::Plain(Padded(first, digits_));
}

TokenResult InsertNumberModel::Accept() const {
  if (choice_ == kOriginalNumber) {
    return Token(u"[" + Padded(1, digits_) + Text(strings_, IDS_TOKEN_NUMBER_ORIG_CLOSE));
  }
  std::uint32_t first = 0;
  if (const std::uint16_t message = ParseFirstNumber(&first)) {
    return Refused(message, kFirstNumberControl);
  }
  return Token(u"[" + Padded(first, digits_) + u"]");
}

// ------------------------------------------------------------------------------------------------
// Date pieces

namespace {

constexpr DatePieceDialog kDatePieceDialogs[kPieceKindCount] = {
    {IDS_INSERT_DATE_BTN_YEAR,
     IDS_INSERT_YEAR_TITLE,
     IDS_INSERT_YEAR_GROUP,
     IDS_TIP_DATE_INSERT_YEAR,
     2,
     {{{IDS_DATE_TWO_DIGIT_YEAR, IDS_DATE_PIC_YY, IDS_TIP_PIECE_TWO_DIGIT_YEAR},
       {IDS_DATE_FOUR_DIGIT_YEAR, IDS_DATE_PIC_YYYY, IDS_TIP_PIECE_FOUR_DIGIT_YEAR}}}},
    {IDS_INSERT_DATE_BTN_MONTH,
     IDS_INSERT_MONTH_TITLE,
     IDS_INSERT_MONTH_GROUP,
     IDS_TIP_DATE_INSERT_MONTH,
     4,
     {{{IDS_DATE_ONE_OR_TWO_DIGIT_MONTH, IDS_DATE_PIC_M, IDS_TIP_PIECE_ONE_OR_TWO_DIGIT_MONTH},
       {IDS_DATE_TWO_DIGIT_MONTH, IDS_DATE_PIC_MM, IDS_TIP_PIECE_TWO_DIGIT_MONTH},
       {IDS_DATE_MONTH_NAME, IDS_DATE_PIC_MMMM, IDS_TIP_PIECE_MONTH_NAME},
       {IDS_DATE_ABBREV_MONTH_NAME, IDS_DATE_PIC_MMM, IDS_TIP_PIECE_ABBREV_MONTH_NAME}}}},
    {IDS_INSERT_DATE_BTN_DAY,
     IDS_INSERT_DAY_TITLE,
     IDS_INSERT_DAY_GROUP,
     IDS_TIP_DATE_INSERT_DAY,
     2,
     {{{IDS_DATE_ONE_OR_TWO_DIGIT_DAY, IDS_DATE_PIC_D, IDS_TIP_PIECE_ONE_OR_TWO_DIGIT_DAY},
       {IDS_DATE_TWO_DIGIT_DAY, IDS_DATE_PIC_DD, IDS_TIP_PIECE_TWO_DIGIT_DAY}}}},
    {IDS_INSERT_DATE_BTN_WEEKDAY,
     IDS_INSERT_WEEKDAY_TITLE,
     IDS_INSERT_WEEKDAY_GROUP,
     IDS_TIP_DATE_INSERT_WEEKDAY,
     2,
     {{{IDS_DATE_WEEKDAY_NAME, IDS_DATE_PIC_DDDD, IDS_TIP_PIECE_WEEKDAY_NAME},
       {IDS_DATE_ABBREV_WEEKDAY_NAME, IDS_DATE_PIC_DDD, IDS_TIP_PIECE_ABBREV_WEEKDAY_NAME}}}},
    {IDS_INSERT_DATE_BTN_HOUR,
     IDS_INSERT_HOUR_TITLE,
     IDS_INSERT_HOUR_GROUP,
     IDS_TIP_DATE_INSERT_HOUR,
     4,
     {{{IDS_DATE_ONE_OR_TWO_DIGIT_HOUR, IDS_DATE_PIC_H12, IDS_TIP_PIECE_ONE_OR_TWO_DIGIT_HOUR},
       {IDS_DATE_TWO_DIGIT_HOUR, IDS_DATE_PIC_HH12, IDS_TIP_PIECE_TWO_DIGIT_HOUR},
       {IDS_DATE_ONE_OR_TWO_DIGIT_24_HOUR, IDS_DATE_PIC_H24,
        IDS_TIP_PIECE_ONE_OR_TWO_DIGIT_24_HOUR},
       {IDS_DATE_TWO_DIGIT_24_HOUR, IDS_DATE_PIC_HH24, IDS_TIP_PIECE_TWO_DIGIT_24_HOUR}}}},
    {IDS_INSERT_DATE_BTN_MINUTE,
     IDS_INSERT_MINUTE_TITLE,
     IDS_INSERT_MINUTE_GROUP,
     IDS_TIP_DATE_INSERT_MINUTE,
     2,
     {{{IDS_DATE_ONE_OR_TWO_DIGIT_MINUTE, IDS_DATE_PIC_MIN, IDS_TIP_PIECE_ONE_OR_TWO_DIGIT_MINUTE},
       {IDS_DATE_TWO_DIGIT_MINUTE, IDS_DATE_PIC_MINMIN, IDS_TIP_PIECE_TWO_DIGIT_MINUTE}}}},
    {IDS_INSERT_DATE_BTN_SECONDS,
     IDS_INSERT_SECONDS_TITLE,
     IDS_INSERT_SECONDS_GROUP,
     IDS_TIP_DATE_INSERT_SECONDS,
     2,
     {{{IDS_DATE_ONE_OR_TWO_DIGIT_SECONDS, IDS_DATE_PIC_S, IDS_TIP_PIECE_ONE_OR_TWO_DIGIT_SECONDS},
       {IDS_DATE_TWO_DIGIT_SECONDS, IDS_DATE_PIC_SS, IDS_TIP_PIECE_TWO_DIGIT_SECONDS}}}},
    {IDS_INSERT_DATE_BTN_AMPM,
     IDS_INSERT_DESIGNATOR_TITLE,
     IDS_INSERT_DESIGNATOR_GROUP,
     IDS_TIP_DATE_INSERT_AMPM,
     2,
     {{{IDS_DATE_ONE_CHAR_DESIGNATOR, IDS_DATE_PIC_T, IDS_TIP_PIECE_ONE_CHAR_DESIGNATOR},
       {IDS_DATE_TWO_CHAR_DESIGNATOR, IDS_DATE_PIC_TT, IDS_TIP_PIECE_TWO_CHAR_DESIGNATOR}}}},
};

}  // namespace

std::span<const DatePieceDialog> DatePieceDialogs() {
  return kDatePieceDialogs;
}

DatePieceModel::DatePieceModel(const StringModule& strings, DatePieceKind kind,
                               const SystemTime& date, const DateLocale& locale)
    : strings_(strings), dialog_(kDatePieceDialogs[kind]), date_(date), locale_(locale) {}

void DatePieceModel::SetChoice(int choice) {
  choice_ = std::clamp(choice, 0, dialog_.choiceCount - 1);
}

std::u16string DatePieceModel::Piece() const {
  return Text(strings_, dialog_.choices[static_cast<std::size_t>(choice_)].pieceId);
}

SampleText DatePieceModel::Sample() const {
  CountedString text;
  if (Failed(FormatDatePicture(Piece(), date_, text, locale_))) {
    return ErrorSample(strings_, IDS_ERR_DATE_FORMAT_INVALID);
  }
  return SampleText::Plain(text.View());
}

TokenResult DatePieceModel::Accept() const {
  return Token(Piece());
}

// ------------------------------------------------------------------------------------------------
// Insert Date

SystemTime InsertDateModel::PreviewDate() const {
  return choice_ == kFileCreation ? sample_.FileDate() : sample_.PictureTakenDate();
}

void InsertDateModel::SetFormat(std::u16string_view text, int caret) {
  format_ = text;
  SetCaret(caret);
}

void InsertDateModel::SetCaret(int caret) {
  insertion_ = std::clamp(caret, 0, static_cast<int>(format_.size()));
}

int InsertDateModel::InsertPiece(std::u16string_view piece, int selectionStart,
                                 int selectionLength) {
  insertion_ =
      InsertReplacingSelection(format_, piece, insertion_, selectionStart, selectionLength);
  return insertion_;
}

SampleText InsertDateModel::Sample() const {
  const SystemTime date = PreviewDate();
  if (const std::uint16_t message = CheckDatePicture(format_, date, sample_.Locale())) {
    return ErrorSample(strings_, message);
  }
  CountedString text;
  if (Failed(FormatDatePicture(format_, date, text, sample_.Locale()))) {
    return ErrorSample(strings_, IDS_ERR_DATE_FORMAT_INVALID);
  }
  return SampleText::Plain(text.View());
}

TokenResult InsertDateModel::Accept() const {
  const SampleText sample = Sample();
  if (sample.error) return Refused(sample.messageId, kFormatControl);
  const std::uint16_t open =
      choice_ == kFileCreation ? IDS_TOKEN_DATE_FILE_OPEN : IDS_TOKEN_DATE_OPEN;
  return Token(Text(strings_, open) + u" \"" + format_ + u"\"]");
}

// ------------------------------------------------------------------------------------------------
// Insert Metadata

InsertMetadataModel::InsertMetadataModel(const StringModule& strings, const KeywordTable& keywords,
                                         const PatternSample& sample)
    : strings_(strings), sample_(sample) {
  for (std::uint16_t code = kFirstMetadataKeyword; code <= kLastMetadataKeyword; ++code) {
    const std::u16string_view word = keywords.Word(code);
    if (word.empty()) continue;
    names_.push_back({std::u16string(word), MetadataTagForKeyword(code)});
  }
  std::stable_sort(names_.begin(), names_.end(), [](const Name& a, const Name& b) {
    return CompareInvariant(a.word, b.word, true) < 0;
  });
}

void InsertMetadataModel::SelectName(int index) {
  if (index >= 0 && index < NameCount()) selected_ = index;
}

std::uint16_t InsertMetadataModel::CurrentTag(std::uint16_t* tag) const {
  if (choice_ == kByName) {
    if (selected_ < 0 || selected_ >= NameCount()) return IDS_ERR_METADATA_ID;
    *tag = names_[static_cast<std::size_t>(selected_)].tag;
    return 0;
  }
  std::uint16_t message = 0;
  if (Failed(ParseMetadataId(id_, tag, &message))) {
    return message != 0 ? message : IDS_ERR_METADATA_ID;
  }
  return 0;
}

SampleText InsertMetadataModel::Sample() const {
  std::uint16_t tag = 0;
  if (const std::uint16_t message = CurrentTag(&tag)) return ErrorSample(strings_, message);
  const MetadataEntry* entry = FindMetadataEntry(sample_.Photo(), tag);
  if (entry == nullptr) return SampleText::Plain(kMissingValueText);
  std::u16string scratch;
  std::u16string text(MetadataEntryText(*entry, scratch));
  const char16_t replacement = MetadataReplacementChar(entry->type);
  for (char16_t& c : text) {
    if (IsInvalidFileNameChar(c)) c = replacement;
  }
  return SampleText::Plain(text);
}

TokenResult InsertMetadataModel::Accept() const {
  std::uint16_t tag = 0;
  if (const std::uint16_t message = CurrentTag(&tag)) return Refused(message, kIdControl);
  const std::u16string& name =
      choice_ == kByName ? names_[static_cast<std::size_t>(selected_)].word : id_;
  return Token(Text(strings_, IDS_TOKEN_METADATA_OPEN) + name + u"]");
}

// ------------------------------------------------------------------------------------------------
// Insert Character Literal

TokenResult InsertCharacterModel::Accept() const {
  static constexpr std::uint16_t kTokens[] = {IDS_TOKEN_LEFT_BRACKET, IDS_TOKEN_RIGHT_BRACKET,
                                              IDS_TOKEN_SEMICOLON};
  return Token(Text(strings_, kTokens[choice_]));
}

}  // namespace lumatag
