// The pattern dialogs as the rest of the program opens them: the Patterns Manager over a copy of
// the catalogue, and the Pattern Editor and insert-token dialogs it opens in turn.
#pragma once

#include <QWidget>

#include "foundation/Status.h"
#include "foundation/SystemTime.h"
#include "patterns/PatternCatalogue.h"
#include "ui/DialogBase.h"
#include "ui/UiContext.h"

namespace lumatag {

class KeywordTable;

// What the pattern dialogs need of the program.
struct PatternDialogsHost {
  ui::UiContext& ui;
  // Runs every dialog of the family (the manager, the editor, the insert dialogs); tests script it.
  ui::DialogRunner& runner;
  // The words of the pattern language; the Insert Metadata list comes from them.
  const KeywordTable& keywords;
  // The local time the manager opens at: the sample photo's creation date.
  SystemTime openedAt;
};

// Opens the Patterns Manager over a copy of `current`. When it closes, `*edited` receives the
// working copy (every add, copy, change and deletion; deleted patterns stay as nameless records so
// that saving removes them) and `*editedCurrent` the index in it of the pattern that was
// `currentPattern` in `current` (-1 when it was deleted). The main window then takes the copy
// over. E_CANCELLED never comes back: closing the manager is how it ends. A failure to show the
// manager has been reported; `*edited` is then untouched.
Status RunPatternsManager(PatternDialogsHost& host, QWidget* parent,
                          const PatternCatalogue& current, int currentPattern,
                          PatternCatalogue* edited, int* editedCurrent);

}  // namespace lumatag
