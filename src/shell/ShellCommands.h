// The main window's command numbers: menu items, accelerators and controls.
#pragma once

namespace lumatag::shell {

inline constexpr int kCmdAbout = 1;
inline constexpr int kCmdExit = 2;
inline constexpr int kCmdChooseFolder = 4;
inline constexpr int kCmdExtensionManager = 5;
inline constexpr int kCmdPatternsManager = 7;
inline constexpr int kCmdOptions = 11;
inline constexpr int kCmdContact = 12;
inline constexpr int kCmdLicense = 13;
inline constexpr int kCmdHelp = 14;
inline constexpr int kCmdCheckUpdates = 16;
inline constexpr int kCmdCrashLogs = 17;
inline constexpr int kCmdUserGuide = 18;
inline constexpr int kCmdUndoRename = 19;
inline constexpr int kCmdContextHelp = 32785;
inline constexpr int kCmdSelectAll = 32794;
// 100 + control number: the Alt+letter accelerators that activate a control.
inline constexpr int kCmdActivateBase = 100;
// 11000 + control number: a control's own command (a button's click, a box's change).
inline constexpr int kCmdControlBase = 11000;

// Control numbers.
enum Control : int {
  kStepFolder = 0,
  kFolderButton = 1,
  kFolderPath = 2,
  kStepPreview = 3,
  kPreview = 4,
  kFirstButton = 5,
  kPreviousButton = 6,
  kNextButton = 7,
  kLastButton = 8,
  kDeleteButton = 9,
  kNavigationLabel = 10,
  kNavigationBox = 11,
  kPhotoIndexText = 12,
  kUnnamedCountText = 13,
  kPhotoBoxLabel = 14,
  kPhotoBox = 15,
  kStepPattern = 16,
  kPatternBox = 17,
  kStepBaseName = 18,
  kBaseNameBox = 19,
  kStepNewName = 20,
  kNewNameBox = 21,
  kRenameButton = 22,
  kRenameRemainingButton = 23,
  kControlCount = 24,
};

}  // namespace lumatag::shell
