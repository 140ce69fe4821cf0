#include "workflow/ExtensionList.h"

#include <algorithm>
#include <string>
#include <vector>

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

  // Every name is read first; the names that cannot be used are then reported with one message
  // and deleted in one change of the settings, however many there are.
  struct Read {
    std::u16string name;
    std::u16string extension;
    std::uint32_t index = 0;
  };
  std::vector<Read> usable;
  std::vector<Read> unusable;
  Status failure = S_OK;
  CountedString name;
  CountedString extension;
  std::uint32_t index = 0;
  while (true) {
    const Status status = store.EnumValueName(subkey, index, bufferChars, name);
    if (status == kNoMoreItems) break;
    if (status == kMoreData && bufferChars <= kMaxRegistryValueName) {
      // The subkey changed since it was measured: measure the name again with more room.
      bufferChars = std::min<std::uint32_t>(bufferChars * 2, kMaxRegistryValueName + 1);
      continue;
    }
    if (Failed(status)) {
      // The name cannot be read, so the value cannot be deleted either: stop, so that the loop
      // ends whatever the store answers.
      failure = status;
      break;
    }
    Read read{std::u16string(name.View()), {}, index++};
    if (Succeeded(Normalise(name.View(), extension))) {
      read.extension.assign(extension.View());
      usable.push_back(std::move(read));
    } else {
      unusable.push_back(std::move(read));
    }
  }

  // Sorted once and added in order (each at the end), so that loading stays n log n; of equal
  // extensions the first stored one stays and the others count as unusable.
  std::stable_sort(usable.begin(), usable.end(), [](const Read& a, const Read& b) {
    return CompareExtensions(a.extension, b.extension) < 0;
  });
  bool outOfMemory = false;
  for (Read& read : usable) {
    const Status added = outOfMemory ? E_OUTOFMEMORY : Add(read.extension);
    if (added == E_OUTOFMEMORY) outOfMemory = true;
    if (Failed(added)) unusable.push_back(std::move(read));
  }

  if (failure != S_OK) {
    ReportUnreadable(context, u"", index);
  } else if (!unusable.empty()) {
    const auto first =
        std::min_element(unusable.begin(), unusable.end(),
                         [](const Read& a, const Read& b) { return a.index < b.index; });
    ReportUnreadable(context, first->name, first->index);
  }
  if (failure != S_OK || !unusable.empty()) {
    if (settingsChanged != nullptr) *settingsChanged = true;
  }
  // The unusable values go (except when memory ran out: they may be fine), in one write.
  if (!unusable.empty() && !outOfMemory) {
    RegistryStore& registry = store.Registry();
    registry.BeginUpdate();
    for (const Read& read : unusable) (void)store.DeleteValue(subkey, read.name);
    (void)registry.EndUpdate();
  }
  return failure == S_OK ? S_OK : failure;
}

Status ExtensionList::SaveToSettings(SettingsStore& store, const SettingsKey& subkey) {
  int failed = 0;
  for (const CountedString& extension : items_) {
    if (Failed(store.SetDword(subkey, extension.View(), 1))) ++failed;
  }
  return failed > 0 ? S_FALSE : S_OK;
}

bool SameExtensions(const ExtensionList& a, const ExtensionList& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i) {
    if (a.At(i) != b.At(i)) return false;
  }
  return true;
}

}  // namespace lumatag
