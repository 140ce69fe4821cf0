#include "dialogs/ExtensionEditorModel.h"

#include "foundation/StringIds.h"
#include "ports/Messages.h"

namespace lumatag {

namespace {

constexpr std::u16string_view kInvalidCharacters = u"\\/:*\"?<>|";

}  // namespace

std::u16string_view TrimExtensionText(std::u16string_view text) {
  while (!text.empty() && IsWideSpace(text.back())) text.remove_suffix(1);
  while (!text.empty() && text.front() == u'.') text.remove_prefix(1);
  while (!text.empty() && IsWideSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::uint16_t CheckExtensionText(std::u16string_view text, const ExtensionList& list,
                                 int editingIndex, CountedString& extension) {
  const std::u16string_view cleaned = TrimExtensionText(text);
  if (cleaned.empty()) return IDS_ERR_EXTENSION_EMPTY;
  if (cleaned.find(u'.') != std::u16string_view::npos) return IDS_ERR_EXTENSION_PERIOD;
  if (cleaned.find_first_of(kInvalidCharacters) != std::u16string_view::npos) {
    return IDS_ERR_EXTENSION_INVALID_CHARACTER;
  }
  int at = -1;
  if (list.Find(cleaned, &at) && at != editingIndex) return IDS_ERR_EXTENSION_DUPLICATE;
  if (Failed(extension.Assign(cleaned))) return IDS_CONTROLS_NOT_UPDATED;
  return 0;
}

Status ExtensionEditorModel::Accept(AppContext& context, std::u16string_view text, int* newIndex) {
  if (text.size() > static_cast<std::size_t>(kMaxLength)) text = text.substr(0, kMaxLength);
  CountedString extension;
  const std::uint16_t problem = CheckExtensionText(text, list_, index_, extension);
  if (problem != 0) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(context, problem));
    return E_INVALID_INPUT;
  }
  // Re-file the entry: out with the old text, in with the new; on failure the old text returns.
  CountedString previous;
  LT_TRY(previous.Assign(list_.At(index_)));
  list_.RemoveAt(index_);
  int at = 0;
  const Status added = list_.Add(extension.View(), &at);
  if (Failed(added)) {
    int back = 0;
    (void)list_.Add(previous.View(), &back);
    if (newIndex != nullptr) *newIndex = back;
    return added;
  }
  index_ = at;
  if (newIndex != nullptr) *newIndex = at;
  return S_OK;
}

}  // namespace lumatag
