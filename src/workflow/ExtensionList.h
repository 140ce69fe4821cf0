// The photo file extension list: the extensions (without the dot) whose files count as photos.
// Sorted, no duplicates, compared without regard to case in the locale-neutral order. Kept in the
// settings subkey "Image File Extensions", one REG_DWORD value of 1 per extension, named by it.
#pragma once

#include <string_view>

#include "foundation/ElementArray.h"
#include "ports/SettingsRecords.h"

namespace lumatag {

class ExtensionList final : public SettingsSubkeyList {
 public:
  static constexpr int kMaxExtensionLength = 100;

  ExtensionList();

  int Count() const { return items_.Count(); }
  bool IsEmpty() const { return items_.Count() == 0; }
  std::u16string_view At(int index) const { return items_.At(index).View(); }

  // Cleans an extension as typed or stored: white space trimmed at both ends, leading dots
  // removed. Then 1 to 100 characters, no dot and none of \ / : * " ? < > | — else E_INVALIDARG.
  static Status Normalise(std::u16string_view text, CountedString& extension);

  // Adds a normalised extension in its sorted place; E_ALREADY_PRESENT for one already listed.
  Status Add(std::u16string_view extension, int* position = nullptr);
  // True when the extension is listed (without regard to case); *position names it.
  bool Find(std::u16string_view extension, int* position = nullptr) const;
  void RemoveAt(int index) { items_.RemoveAt(index); }
  void Clear() { items_.Clear(); }
  Status CopyFrom(const ExtensionList& other);

  // Replaces the contents with the defaults "JPG", "JPE", "TIF".
  Status SetDefaults(const StringModule& module);
  // Before every use: an empty list gets the defaults and marks the settings changed.
  Status EnsureNotEmpty(const StringModule& module, bool* settingsChanged);

  // Reads the subkey's value names (their data is not looked at). A name that cannot be used is
  // reported to the person, deleted from the subkey and the settings are marked changed.
  Status LoadFromSettings(SettingsStore& store, const SettingsKey& subkey, AppContext& context,
                          bool* settingsChanged) override;
  // One REG_DWORD value of 1 per extension.
  Status SaveToSettings(SettingsStore& store, const SettingsKey& subkey) override;

 private:
  ElementArray<CountedString> items_;
};

// Whether two extension lists are the same: count, then each entry (letter case included).
bool SameExtensions(const ExtensionList& a, const ExtensionList& b);

}  // namespace lumatag
