// The Photo File Extension Editor without its widgets: one entry of the extension list being
// edited. The text typed is normalised and checked in a fixed order; the first problem found is
// shown and keeps the editor open (the widget then focuses the edit and selects all its text).
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "workflow/ExtensionList.h"

namespace lumatag {

inline constexpr int kExtensionEditorDialogId = 1007;
inline constexpr int kExtensionEditorEdit = 104;

// Cuts trailing white space, then leading periods, then leading white space (so a blank before
// the period keeps the period: " .jpg" becomes ".jpg").
std::u16string_view TrimExtensionText(std::u16string_view text);

// The editor's check of `text` against `list`, skipping the entry at `editingIndex` (the one being
// edited, -1 for none). Returns 0 and the cleaned extension in `extension`, or the message to show:
// IDS_ERR_EXTENSION_EMPTY, IDS_ERR_EXTENSION_PERIOD, IDS_ERR_EXTENSION_INVALID_CHARACTER or
// IDS_ERR_EXTENSION_DUPLICATE, checked in this order.
std::uint16_t CheckExtensionText(std::u16string_view text, const ExtensionList& list,
                                 int editingIndex, CountedString& extension);

class ExtensionEditorModel {
 public:
  // The edit holds at most this many characters (longer text cannot be stored).
  static constexpr int kMaxLength = ExtensionList::kMaxExtensionLength;

  // Edits the entry at `index` of `list` (the manager's copy).
  ExtensionEditorModel(ExtensionList& list, int index) : list_(list), index_(index) {}

  // The text the edit starts with.
  std::u16string_view InitialText() const { return list_.At(index_); }

  // OK: on a problem shows its message (ShowErrorMessage) and returns E_INVALID_INPUT; otherwise
  // the entry takes the cleaned text and moves to its sorted place, given in *newIndex.
  Status Accept(AppContext& context, std::u16string_view text, int* newIndex);

 private:
  ExtensionList& list_;
  int index_;
};

}  // namespace lumatag
