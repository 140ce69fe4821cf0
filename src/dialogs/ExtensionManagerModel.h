// The Photo File Extension Manager without its widgets. It edits a copy of the main window's
// extension list, so that the main window can tell afterwards whether anything changed (and only
// then save the settings and scan the folder again).
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/StringIds.h"
#include "workflow/ExtensionList.h"

namespace lumatag {

inline constexpr int kExtensionManagerDialogId = 1005;
inline constexpr int kExtensionManagerHelpContext = 45;

// Control numbers, with the tooltip of each.
struct ExtensionManagerControl {
  int control;
  std::uint16_t textId;  // 0 for the list
  std::uint16_t tooltipId;
};
inline constexpr ExtensionManagerControl kExtensionManagerControls[] = {
    {106, 0, IDS_TIP_EXT_LIST},
    {102, IDS_BTN_ADD, IDS_TIP_EXT_ADD},
    {103, IDS_BTN_MODIFY, IDS_TIP_EXT_MODIFY},  // the default button
    {105, IDS_BTN_DELETE, IDS_TIP_EXT_DELETE},
    {104, IDS_BTN_RESET, IDS_TIP_EXT_RESET},
};

class ExtensionManagerModel {
 public:
  // Copies the list; the first entry is selected. A failed copy leaves the model empty and is
  // returned by OpenStatus().
  explicit ExtensionManagerModel(const ExtensionList& current);

  Status OpenStatus() const { return openStatus_; }
  int Count() const { return list_.Count(); }
  std::u16string_view At(int index) const { return list_.At(index); }
  int Selection() const { return selection_; }
  void Select(int index);

  bool CanModify() const { return selection_ >= 0; }
  // The last extension cannot be deleted.
  bool CanDelete() const { return selection_ >= 0 && list_.Count() > 1; }

  // "&Add...": an empty entry is added and selected; the editor then opens on *index. A failure
  // is shown by the widget with IDS_ERR_ADDING_EXTENSION.
  Status BeginAdd(int* index);
  // The editor was cancelled after "&Add...": the empty entry goes again, without asking.
  void CancelAdd();
  // The editor ended with OK (after "&Add..." or "&Modify..."): its entry is now at `index`.
  void EditAccepted(int index);

  // The list the editor works on (this model's copy).
  ExtensionList& EditableList() { return list_; }

  // "&Delete": asks IDS_ASK_DELETE_EXTENSION (No by default); Yes removes the selected entry and
  // selects the one below it, or the new last one. E_CANCELLED on No; E_FAIL when nothing can be
  // deleted. Another failure is shown by the widget with IDS_ERR_DELETING_EXTENSION.
  Status DeleteSelected(AppContext& context);
  // "&Reset": asks IDS_ASK_RESET_EXTENSIONS; Yes replaces the list with the defaults. A failure
  // other than E_CANCELLED is shown with IDS_CONTROLS_NOT_UPDATED.
  Status Reset(AppContext& context);

  // After "Clo&se": whether the copy differs from the list the manager opened with, and the copy
  // for the main window to take over.
  bool Changed() const { return !SameExtensions(list_, original_); }
  const ExtensionList& Result() const { return list_; }

 private:
  ExtensionList original_;
  ExtensionList list_;
  Status openStatus_ = S_OK;
  int selection_ = -1;
  int pendingAdd_ = -1;
};

}  // namespace lumatag
