// The Options dialog without its widgets: five on/off settings of naming and display, edited on a
// copy of the naming settings. Each click writes the copy at once and marks that setting changed;
// OK hands the copy to the main window, Cancel drops it (the settings are never touched here).
#pragma once

#include <array>
#include <cstdint>

#include "ports/SettingsRecords.h"

namespace lumatag {

// The check boxes, by control number.
enum class OptionBox : int {
  kStatusTones = 102,
  kBaseOnLast = 103,
  kAdvanceAfterRename = 104,
  kRenameCompanions = 105,
  kShowPreview = 107,
  kShowTooltips = 108,
};

// Changed bits of the settings copy.
inline constexpr std::uint32_t kChangedStatusTones = 0x40;
inline constexpr std::uint32_t kChangedShowPreview = 0x80;
inline constexpr std::uint32_t kChangedShowTooltips = 0x100;
inline constexpr std::uint32_t kChangedAdvanceAfterRename = 0x200;
inline constexpr std::uint32_t kChangedBaseOnLast = 0x800;
inline constexpr std::uint32_t kChangedRenameCompanions = 0x1000;
inline constexpr std::uint32_t kOptionsChangedMask =
    0x40 | 0x80 | 0x100 | 0x200 | 0x800 | kChangedRenameCompanions;

// What a widget needs to build one box.
struct OptionBoxInfo {
  OptionBox box;
  int groupControl;  // 101 "Naming settings", 106 "Display settings"
  std::uint16_t textId;
  std::uint16_t tooltipId;
  std::uint32_t changedBit;
};

// The boxes in the order they stand in the dialog.
const std::array<OptionBoxInfo, 6>& OptionBoxes();

inline constexpr int kOptionsDialogId = 100;
inline constexpr int kOptionsHelpContext = 47;
inline constexpr int kOptionsNamingGroup = 101;
inline constexpr int kOptionsDisplayGroup = 106;

// The five values the dialog edits.
struct OptionValues {
  bool fileCheckBeeps = true;
  bool showFilePreview = true;
  bool showWindowTips = true;
  bool advanceAfterRename = true;
  bool baseOnLast = true;
  bool renameCompanions = true;

  static OptionValues From(const NamingSettings& settings);
  bool operator==(const OptionValues&) const = default;
};

class OptionsModel {
 public:
  explicit OptionsModel(const OptionValues& current) : copy_(current) {}
  explicit OptionsModel(const NamingSettings& current) : copy_(OptionValues::From(current)) {}

  bool IsChecked(OptionBox box) const;
  // "Default to same pattern and base name as last photo" only while "Automatically advance…"
  // is ticked; every other box always.
  bool IsEnabled(OptionBox box) const;
  // A click on a box: its tick flips (a disabled box ignores clicks). Returns the new tick.
  bool Click(OptionBox box);
  // Sets a box's tick as a click would; a disabled box keeps its value.
  void SetChecked(OptionBox box, bool checked);

  const OptionValues& Copy() const { return copy_; }
  // The changed bits of the boxes clicked so far (a box clicked twice stays marked).
  std::uint32_t ChangedBits() const { return changed_; }

  // After OK: writes the settings whose changed bits are set into `settings`. Cancel simply does
  // not call this.
  void ApplyTo(NamingSettings& settings) const;

 private:
  bool* Field(OptionBox box);
  OptionValues copy_;
  std::uint32_t changed_ = 0;
};

}  // namespace lumatag
