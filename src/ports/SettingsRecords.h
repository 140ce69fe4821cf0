// The two setting groups the program keeps in memory (the window record and the naming record),
// how they are loaded at start-up and saved, and the rule that fits a window rectangle to a
// monitor's work area.
//
// Pieces that belong to other parts of the program plug in here:
//   - SettingsSubkeyList: a list kept in a subkey of the settings key. The pattern catalogue
//     ("Image File Patterns") and the photo file extension list ("Image File Extensions")
//     implement it; the loader creates or opens the subkey and hands it over, the saver deletes and
//     re-creates the subkey and hands over the new, empty one.
//   - WorkingFolderRule: decides the working folder after "Image Folder" was read (an empty or
//     unusable folder becomes the user's Pictures folder).
//   - ShowCommandSource: the main window's current show command, taken when the window record is
//     saved.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/AppContext.h"
#include "ports/SettingsStore.h"

namespace lumatag {

// Positions and sizes that mean "chosen by the program".
inline constexpr std::int32_t kDefaultWindowPosition = INT32_MIN;  // 0x80000000

struct WindowSettings {
  std::uint32_t appWindowState = 1;  // the main window's show command
  std::int32_t appWindowLeft = kDefaultWindowPosition;
  std::int32_t appWindowTop = 0;
  std::int32_t appWindowWidth = kDefaultWindowPosition;
  std::int32_t appWindowHeight = 0;
  std::int32_t dialogCenterLeft = -1;
  std::int32_t dialogCenterTop = -1;
  std::uint32_t uiLocale = 0;
  bool statusDisplay = true;
};

class SettingsSubkeyList {
 public:
  virtual ~SettingsSubkeyList() = default;
  // Reads the list from its subkey (already created or opened). Sets *settingsChanged when the
  // settings must be written again (entries dropped, defaults used). Messages go through
  // `context`. A failure also marks the settings changed.
  virtual Status LoadFromSettings(SettingsStore& store, const SettingsKey& subkey,
                                  AppContext& context, bool* settingsChanged) = 0;
  // Writes the list into its freshly created, empty subkey: S_OK, S_FALSE when a write failed
  // (the others are still attempted), or a failure.
  virtual Status SaveToSettings(SettingsStore& store, const SettingsKey& subkey) = 0;
};

class WorkingFolderRule {
 public:
  virtual ~WorkingFolderRule() = default;
  // Called with the status of reading "Image Folder" and the folder read (or its default); leaves
  // the folder to work in, or an empty folder when there is none.
  virtual void Apply(Status readStatus, CountedString& folder) = 0;
};

struct NamingSettings {
  bool fileCheckBeeps = true;
  bool showFilePreview = true;
  bool showWindowTips = true;
  bool advanceAfterRename = true;
  bool baseOnLast = true;
  // Companion files (RAW, sidecars) are renamed with their photo.
  bool renameCompanions = true;
  std::uint32_t fileNavigationMode = 1;  // 0 all, 1 unnamed, 2 named photos
  std::uint32_t updateCheckPeriod = 1;   // 0 to 3
  CountedString imageFolder;
  bool minidumpAvailable = false;
  bool minidumpAlert = false;
  // The lists in subkeys; absent lists are neither loaded nor saved (their subkeys are still
  // created when loading).
  SettingsSubkeyList* patterns = nullptr;
  SettingsSubkeyList* extensions = nullptr;
};

// The main window's current show command (its GetWindowPlacement); empty when there is no main
// window.
using ShowCommandSource = std::function<Status(std::uint32_t* showCommand)>;

// Tells the person once, in the program's words, when the settings store had to set its saved
// state aside because it could not be read.
void ReportSettingsRecovery(SettingsStore& store, AppContext& context);

// Start-up, before the main window exists: creates or opens the settings key and reads the window
// record; missing values are written back. Any value missing or unusable sets *settingsChanged.
Status LoadWindowSettings(SettingsStore& store, AppContext& context, WindowSettings& settings,
                          bool* settingsChanged);
// S_OK when every write succeeded, S_FALSE when one failed (the others are still written), the
// failure when the key cannot be opened (nothing is written then).
Status SaveWindowSettings(SettingsStore& store, const WindowSettings& settings,
                          const ShowCommandSource& showCommand);

// Start-up, after the main window exists: the working folder, the flags, the navigation mode and
// update period, the lists in subkeys, and the two crash-dump flags.
Status LoadNamingSettings(SettingsStore& store, AppContext& context, NamingSettings& settings,
                          WorkingFolderRule* folderRule, bool* settingsChanged);
// As SaveWindowSettings; the lists replace their subkeys.
Status SaveNamingSettings(SettingsStore& store, const NamingSettings& settings);

// A rectangle in screen pixels and a monitor's work area.
struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};
struct WorkArea {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// Fits a rectangle to the work area of its monitor (the caller picks the monitor nearest to
// (left, top), or the primary one when left is kDefaultWindowPosition). A default width gives half
// the work area's width and height; a default left centres the rectangle; then each edge is moved
// inside, and a rectangle larger than the work area is cut to it.
WindowRect FitRectangleToWorkArea(WindowRect rect, const WorkArea& area);

}  // namespace lumatag
