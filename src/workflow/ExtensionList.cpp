#include "workflow/ExtensionList.h"

#include <algorithm>

#include "foundation/Numbers.h"
#include "ports/Messages.h"
#include "ports/TextComparer.h"

namespace lumatag {

namespace {

constexpr std::u16string_view kInvalidCharacters = u"\\/:*\"?<>|";

// Status of the registry's "no more items" and "more data" answers.
constexpr Status kNoMoreItems = MakeStatus(0x80070103);
constexpr Status kMoreData = MakeStatus(0x800700EA);

// The longest part of a stored name that goes into a message (the message has 255 characters).
constexpr int kNameInMessage = 150;

int CompareExtensions(std::u16string_view a, std::u16string_view b) {
  return CompareInvariant(a, b, true);
}

// Tells the person that the stored extension `name` (or, when it is empty, the one at `index`)
// could not be read.
void ReportUnreadable(AppContext& context, std::u16string_view name, std::uint32_t index) {
  MessageString text;
  if (name.empty()) {
    CountedString number;
    if (Failed(LoadString(*context.resourceModule, IDS_ERR_READING_EXTENSION_NUMBER, text)) ||
        Failed(FormatUInt32(number, index + 1)) || Failed(SubstitutePlaceholder(text, 1, number))) {
      return;
    }
  } else if (Failed(LoadString(*context.resourceModule, IDS_ERR_READING_EXTENSION, text)) ||
             Failed(SubstitutePlaceholder(
                 text, 1, name.substr(0, static_cast<std::size_t>(kNameInMessage))))) {
    return;
  }
  ShowMessage(context, text.CStr(), MB_ICONERROR);
}

}  // namespace

ExtensionList::ExtensionList()
    : items_(4, true, [](const CountedString& key, const CountedString& element) {
        return CompareExtensions(key.View(), element.View());
      }) {}

Status ExtensionList::Normalise(std::u16string_view text, CountedString& extension) {
  std::size_t start = 0;
  std::size_t end = text.size();
  while (start < end && IsWideSpace(text[start])) ++start;
  while (end > start && IsWideSpace(text[end - 1])) --end;
  while (start < end && text[start] == u'.') ++start;
  const std::u16string_view cleaned = text.substr(start, end - start);
  if (cleaned.empty() || cleaned.size() > static_cast<std::size_t>(kMaxExtensionLength) ||
      cleaned.find(u'.') != std::u16string_view::npos ||
      cleaned.find_first_of(kInvalidCharacters) != std::u16string_view::npos) {
    return E_INVALIDARG;
  }
  return extension.Assign(cleaned);
}

Status ExtensionList::Add(std::u16string_view extension, int* position) {
  int at = 0;
  if (Find(extension, &at)) {
    if (position != nullptr) *position = at;
    return E_ALREADY_PRESENT;
  }
  CountedString item;
  LT_TRY(item.Assign(extension));
  LT_TRY(items_.Insert(std::move(item), at));
  if (position != nullptr) *position = at;
  return S_OK;
}

bool ExtensionList::Find(std::u16string_view extension, int* position) const {
  int at = 0;
  const bool found = items_.Find(
      extension,
      [](std::u16string_view key, const CountedString& element) {
        return CompareExtensions(key, element.View());
      },
      &at);
  if (position != nullptr) *position = at;
  return found;
}

Status ExtensionList::CopyFrom(const ExtensionList& other) {
  return items_.CopyFrom(other.items_, [](const CountedString& source, CountedString& target) {
    return target.Assign(source);
  });
}

Status ExtensionList::SetDefaults(const StringModule& module) {
  items_.Clear();
  for (const std::uint16_t id : {IDS_EXT_JPG, IDS_EXT_JPE, IDS_EXT_TIF}) {
    MessageString extension;
    LT_TRY(LoadString(module, id, extension));
    const Status added = Add(extension.View());
    if (Failed(added) && added != E_ALREADY_PRESENT) return added;
  }
  return S_OK;
}

Status ExtensionList::EnsureNotEmpty(const StringModule& module, bool* settingsChanged) {
  if (!IsEmpty()) return S_OK;
  if (settingsChanged != nullptr) *settingsChanged = true;
  return SetDefaults(module);
}

Status ExtensionList::LoadFromSettings(SettingsStore& store, const SettingsKey& subkey,
                                       AppContext& context, bool* settingsChanged) {
  RegistryKeyInfo info;
  std::uint32_t bufferChars = 4 + 1;
  if (Succeeded(store.QueryKeyInfo(subkey, &info))) bufferChars = info.longestValueName + 1;

  CountedString name;
  CountedString extension;
  std::uint32_t index = 0;
  while (true) {
    Status status = store.EnumValueName(subkey, index, bufferChars, name);
    if (status == kNoMoreItems) break;
    if (status == kMoreData && bufferChars <= kMaxRegistryValueName) {
      // The subkey changed since it was measured: measure the name again with more room.
      bufferChars = std::min<std::uint32_t>(bufferChars * 2, kMaxRegistryValueName + 1);
      continue;
    }
    if (Failed(status)) {
      // The name cannot be read, so the value cannot be deleted either: report it and stop, so
      // that the loop ends whatever the store answers.
      ReportUnreadable(context, u"", index);
      if (settingsChanged != nullptr) *settingsChanged = true;
      return status;
    }
    status = Normalise(name.View(), extension);
    if (Succeeded(status)) status = Add(extension.View());
    if (Succeeded(status)) {
      ++index;
      continue;
    }
    ReportUnreadable(context, name.View(), index);
    if (settingsChanged != nullptr) *settingsChanged = true;
    // The value goes, and the same index is read again; a value that stays (out of memory, or it
    // cannot be deleted) is stepped over so that the loop ends.
    if (status == E_OUTOFMEMORY || Failed(store.DeleteValue(subkey, name.View()))) ++index;
  }
  return S_OK;
}

Status ExtensionList::SaveToSettings(SettingsStore& store, const SettingsKey& subkey) {
  int failed = 0;
  for (const CountedString& extension : items_) {
    if (Failed(store.SetDword(subkey, extension.View(), 1))) ++failed;
  }
  return failed > 0 ? S_FALSE : S_OK;
}

}  // namespace lumatag
