// The Patterns Manager without its widgets. It works on a copy of the main window's catalogue:
// the list shows every named, usable pattern in catalogue order; Add, Copy, Modify and Delete
// change the copy, and after Close the copy is handed back for the main window to take over. The
// model also follows the main window's current pattern through every change, so that the main
// window keeps the same pattern even when the catalogue was re-sorted.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "dialogs/PatternSample.h"
#include "patterns/PatternCatalogue.h"

namespace lumatag {

class PatternsManagerModel {
 public:
  static constexpr int kDialogId = 1001;
  static constexpr int kHelpContext = 35;

  // The Pattern Editor as the manager opens it: on the working copy of one entry of the working
  // catalogue. S_OK when accepted, E_CANCELLED when cancelled.
  using Editor =
      std::function<Status(const PatternCatalogue& catalogue, NamingPattern& working, bool isNew)>;

  // Copies `current`; `currentPattern` is the index of the main window's current pattern in it
  // (-1 for none). The default pattern's line is selected (the first line without a default).
  PatternsManagerModel(AppContext& context, const PatternCatalogue& current, int currentPattern);

  // The failure of the copy, if any; the manager cannot be shown then.
  Status OpenStatus() const { return openStatus_; }

  int LineCount() const { return static_cast<int>(lines_.size()); }
  std::u16string_view LineText(int line) const;
  // The catalogue index of a line, -1 outside the list.
  int PatternIndexOf(int line) const;
  int Selection() const { return selection_; }
  void Select(int line);

  // "&Delete" is enabled only while the selected pattern is not built-in.
  bool CanDelete() const;
  bool HasSelection() const { return selection_ >= 0; }

  // The commands. Failures are reported to the person (through the context's message front-end)
  // by the catalogue; E_CANCELLED comes back when the person cancelled or was told.
  Status Add(const Editor& editor);
  Status Copy(const Editor& editor);
  Status Modify(const Editor& editor);
  Status Delete();

  const PatternCatalogue& Catalogue() const { return catalogue_; }
  PatternCatalogue& Catalogue() { return catalogue_; }
  // Where the main window's current pattern is now in the working catalogue; -1 when it was
  // deleted.
  int CurrentPattern() const { return current_; }

 private:
  void Rebuild();
  int LineOf(int patternIndex) const;
  // A pattern now sits at `index` that was not in the list before.
  void TrackInsertion(int index);
  // The pattern at `from` moved to `to`.
  void TrackMove(int from, int to);
  void TrackRemoval(int index);
  PatternEditor Bind(const Editor& editor);

  AppContext& context_;
  PatternCatalogue catalogue_;
  Status openStatus_ = S_OK;
  std::vector<int> lines_;  // catalogue index of each line
  int selection_ = -1;
  int current_ = -1;
};

}  // namespace lumatag
