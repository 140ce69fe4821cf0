#include "dialogs/ExtensionManagerModel.h"

#include "foundation/StringIds.h"
#include "ports/Messages.h"

namespace lumatag {

ExtensionManagerModel::ExtensionManagerModel(const ExtensionList& current) {
  openStatus_ = original_.CopyFrom(current);
  if (Succeeded(openStatus_)) openStatus_ = list_.CopyFrom(current);
  if (Failed(openStatus_)) {
    original_.Clear();
    list_.Clear();
  }
  selection_ = list_.IsEmpty() ? -1 : 0;
}

void ExtensionManagerModel::Select(int index) {
  selection_ = index >= 0 && index < list_.Count() ? index : -1;
}

Status ExtensionManagerModel::BeginAdd(int* index) {
  int at = 0;
  LT_TRY(list_.Add(u"", &at));
  pendingAdd_ = at;
  selection_ = at;
  if (index != nullptr) *index = at;
  return S_OK;
}

void ExtensionManagerModel::CancelAdd() {
  if (pendingAdd_ < 0) return;
  list_.RemoveAt(pendingAdd_);
  pendingAdd_ = -1;
  selection_ = list_.IsEmpty() ? -1 : 0;
}

void ExtensionManagerModel::EditAccepted(int index) {
  pendingAdd_ = -1;
  Select(index);
}

Status ExtensionManagerModel::DeleteSelected(AppContext& context) {
  if (!CanDelete()) return E_FAIL;
  CountedString name;
  LT_TRY(name.Assign(list_.At(selection_)));
  if (AskYesNo(context, IDS_ASK_DELETE_EXTENSION, name.CStr()) != IDYES) return E_CANCELLED;
  list_.RemoveAt(selection_);
  if (selection_ >= list_.Count()) selection_ = list_.Count() - 1;
  return S_OK;
}

Status ExtensionManagerModel::Reset(AppContext& context) {
  if (AskYesNo(context, IDS_ASK_RESET_EXTENSIONS) != IDYES) return E_CANCELLED;
  LT_TRY(list_.SetDefaults(*context.resourceModule));
  selection_ = list_.IsEmpty() ? -1 : 0;
  return S_OK;
}

}  // namespace lumatag
