// The insert-token dialogs without their widgets: what each sample says (and whether it reports an
// error), whether OK may close, and the exact token text handed to the Pattern Editor. Every
// dialog starts from fixed defaults each time it opens.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/PatternSample.h"
#include "foundation/StringTable.h"
#include "patterns/KeywordTable.h"

namespace lumatag {

// The outcome of OK in an insert dialog: the token to insert, or the message that refuses OK and
// the control that receives the focus.
struct TokenResult {
  bool accepted = false;
  std::u16string token;
  std::uint16_t messageId = 0;
  int focusControl = 0;
};

// ------------------------------------------------------------------------------------------------
// Insert Name

class InsertNameModel {
 public:
  enum Choice { kBaseName, kOriginalName };
  static constexpr int kDialogId = 1015;
  static constexpr int kHelpContext = 37;

  InsertNameModel(const StringModule& strings, const PatternSample& sample)
      : strings_(strings), sample_(sample) {}

  Choice GetChoice() const { return choice_; }
  void SetChoice(Choice choice) { choice_ = choice; }
  SampleText Sample() const;
  TokenResult Accept() const;

 private:
  const StringModule& strings_;
  const PatternSample& sample_;
  Choice choice_ = kBaseName;
};

// ------------------------------------------------------------------------------------------------
// Insert Number

class InsertNumberModel {
 public:
  enum Choice { kAutoNumber, kOriginalNumber };
  static constexpr int kDialogId = 1018;
  static constexpr int kHelpContext = 38;
  static constexpr int kFirstNumberControl = 106;
  static constexpr int kMaxDigits = 10;
  // The number in the sample's file name "IMG_1234.JPG".
  static constexpr std::uint32_t kSampleOriginalNumber = 1234;

  explicit InsertNumberModel(const StringModule& strings) : strings_(strings) {}

  Choice GetChoice() const { return choice_; }
  void SetChoice(Choice choice) { choice_ = choice; }
  // The first-number field is enabled only with the auto-incrementing choice.
  bool FirstNumberEnabled() const { return choice_ == kAutoNumber; }
  const std::u16string& FirstNumberText() const { return firstNumber_; }
  void SetFirstNumberText(std::u16string_view text) { firstNumber_ = text; }
  // 1 ... 10.
  int MinimumDigits() const { return digits_; }
  void SetMinimumDigits(int digits);

  SampleText Sample() const;
  TokenResult Accept() const;

 private:
  // The first number, or the id of the text that says why it cannot be read.
  std::uint16_t ParseFirstNumber(std::uint32_t* value) const;

  const StringModule& strings_;
  Choice choice_ = kAutoNumber;
  std::u16string firstNumber_ = u"1";
  int digits_ = 1;
};

// ------------------------------------------------------------------------------------------------
// Date pieces: the eight small dialogs of Insert Date, one table.

struct DatePieceChoice {
  std::uint16_t textId;   // the radio button's text
  std::uint16_t pieceId;  // the piece it inserts ("yyyy", "MMMM", ...)
  std::uint16_t tooltipId;
};

struct DatePieceDialog {
  std::uint16_t buttonId;  // the Insert Date button that opens it
  std::uint16_t titleId;
  std::uint16_t groupId;
  std::uint16_t buttonTooltipId;
  int choiceCount;  // 2 (dialog 1013) or 4 (dialog 1014)
  std::array<DatePieceChoice, 4> choices;

  int DialogId() const { return choiceCount == 2 ? 1013 : 1014; }
};

enum DatePieceKind {
  kPieceYear,
  kPieceMonth,
  kPieceDay,
  kPieceWeekday,
  kPieceHour,
  kPieceMinute,
  kPieceSeconds,
  kPieceDesignator,
  kPieceKindCount
};

std::span<const DatePieceDialog> DatePieceDialogs();

class DatePieceModel {
 public:
  // `date` is the date the Insert Date dialog currently previews.
  DatePieceModel(const StringModule& strings, DatePieceKind kind, const SystemTime& date,
                 const DateLocale& locale);

  const DatePieceDialog& Dialog() const { return dialog_; }
  int Choice() const { return choice_; }
  void SetChoice(int choice);
  // The chosen piece as text.
  std::u16string Piece() const;
  SampleText Sample() const;
  TokenResult Accept() const;

 private:
  const StringModule& strings_;
  const DatePieceDialog& dialog_;
  SystemTime date_;
  const DateLocale& locale_;
  int choice_ = 0;
};

// ------------------------------------------------------------------------------------------------
// Insert Date

class InsertDateModel {
 public:
  enum Choice { kPictureTaken, kFileCreation };
  static constexpr int kDialogId = 1012;
  static constexpr int kHelpContext = 39;
  static constexpr int kFormatControl = 107;

  InsertDateModel(const StringModule& strings, const PatternSample& sample)
      : strings_(strings), sample_(sample) {}

  Choice GetChoice() const { return choice_; }
  void SetChoice(Choice choice) { choice_ = choice; }
  // The date the sample shows: the sample photo's picture-taken date or its creation date.
  SystemTime PreviewDate() const;

  const std::u16string& Format() const { return format_; }
  // The format field changed; `caret` is where its caret now stands.
  void SetFormat(std::u16string_view text, int caret);
  // The caret of the format field moved (the insertion-point marker follows it).
  void SetCaret(int caret);
  int InsertionPosition() const { return insertion_; }
  // A piece from a date-piece dialog: replaces the field's selection, or goes in at the insertion
  // position; the caret ends after it. Returns the new caret position.
  int InsertPiece(std::u16string_view piece, int selectionStart = 0, int selectionLength = 0);

  SampleText Sample() const;
  TokenResult Accept() const;

 private:
  const StringModule& strings_;
  const PatternSample& sample_;
  Choice choice_ = kPictureTaken;
  std::u16string format_;
  int insertion_ = 0;
};

// ------------------------------------------------------------------------------------------------
// Insert Metadata

class InsertMetadataModel {
 public:
  enum Choice { kByName, kById };
  static constexpr int kDialogId = 1019;
  static constexpr int kHelpContext = 41;
  static constexpr int kIdControl = 106;

  // The names are the keyword table's own words, so a translated table still inserts tokens that
  // compile. The list is sorted; its first line is selected.
  InsertMetadataModel(const StringModule& strings, const KeywordTable& keywords,
                      const PatternSample& sample);

  Choice GetChoice() const { return choice_; }
  void SetChoice(Choice choice) { choice_ = choice; }
  bool ListEnabled() const { return choice_ == kByName; }
  bool IdEnabled() const { return choice_ == kById; }

  int NameCount() const { return static_cast<int>(names_.size()); }
  std::u16string_view NameAt(int index) const {
    return names_[static_cast<std::size_t>(index)].word;
  }
  int SelectedName() const { return selected_; }
  void SelectName(int index);
  const std::u16string& IdText() const { return id_; }
  void SetIdText(std::u16string_view text) { id_ = text; }

  SampleText Sample() const;
  TokenResult Accept() const;

 private:
  struct Name {
    std::u16string word;
    std::uint16_t tag;
  };
  // The tag of the current choice, or the id of the text that says why there is none.
  std::uint16_t CurrentTag(std::uint16_t* tag) const;

  const StringModule& strings_;
  const PatternSample& sample_;
  std::vector<Name> names_;
  Choice choice_ = kByName;
  int selected_ = 0;
  std::u16string id_;
};

// ------------------------------------------------------------------------------------------------
// Insert Character Literal

class InsertCharacterModel {
 public:
  enum Choice { kLeftBracket, kRightBracket, kSemicolon };
  static constexpr int kDialogId = 1011;
  static constexpr int kHelpContext = 42;

  explicit InsertCharacterModel(const StringModule& strings) : strings_(strings) {}
  Choice GetChoice() const { return choice_; }
  void SetChoice(Choice choice) { choice_ = choice; }
  TokenResult Accept() const;

 private:
  const StringModule& strings_;
  Choice choice_ = kLeftBracket;
};

}  // namespace lumatag
