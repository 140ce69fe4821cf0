// The fixed sample photo that the Patterns Manager, the Pattern Editor and the insert-token dialogs
// show their samples for, built once when the manager opens; and the sample-text record those
// dialogs share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/SystemTime.h"
#include "metadata/PhotoFacts.h"
#include "patterns/DatePicture.h"
#include "patterns/NameGenerator.h"

namespace lumatag {

class PatternCatalogue;

// What a sample area shows: a text, drawn in the error style when it reports an error. While it
// reports one, `messageId` names the message OK shows (0 when the text is the message itself).
struct SampleText {
  std::u16string text;
  bool error = false;
  std::uint16_t messageId = 0;

  static SampleText Plain(std::u16string_view text) { return {std::u16string(text), false, 0}; }
};

class PatternSample {
 public:
  PatternSample();
  ~PatternSample();
  PatternSample(const PatternSample&) = delete;
  PatternSample& operator=(const PatternSample&) = delete;

  // The sample photo "IMG_1234.JPG" with its camera metadata, created at `openedAt` (the local
  // time the manager opened), and the sample base name "sample". The texts come from the
  // context's user-interface table. The photo carries its camera name, so [name:orig] shows it.
  Status Build(AppContext& context, const SystemTime& openedAt);

  const PhotoFacts& Photo() const { return photo_; }
  const CountedString& BaseName() const { return baseName_; }
  // The file name without its extension ("IMG_1234").
  std::u16string_view OriginalStem() const;
  const SystemTime& FileDate() const { return photo_.fileDate; }
  SystemTime PictureTakenDate() const { return GetPictureTakenDate(photo_); }

  // How previews generate names: the dialogs' own context (so [1:orig] shows the preview number
  // while the Pattern Editor is open), the catalogue for its Automatic pattern, and the locale.
  NamingEnvironment Environment(const AppContext& context, const PatternCatalogue* catalogue) const;

  // Dates in previews are written in this locale (the user's default unless a test sets one).
  const DateLocale& Locale() const { return *locale_; }
  void SetLocale(const DateLocale* locale) { locale_ = locale; }

 private:
  PhotoFacts photo_;
  CountedString baseName_;
  const DateLocale* locale_;
};

// Replaces the selection [selectionStart, selectionStart + selectionLength) of `text` with
// `insert`, or inserts at `position` when nothing is selected; returns where the caret goes
// (right after the inserted text). Positions are clamped to the text.
int InsertReplacingSelection(std::u16string& text, std::u16string_view insert, int position,
                             int selectionStart, int selectionLength);

}  // namespace lumatag
