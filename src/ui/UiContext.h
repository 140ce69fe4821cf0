// What the window layer needs of the application: the application context (title, string
// tables, message presenter, activity state), the window settings with the remembered dialog
// centre, the settings-changed mark, the main window, the tooltip switch and the help viewer.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "foundation/AppContext.h"
#include "ports/SettingsRecords.h"

namespace lumatag::ui {

class TooltipSwitch;

// Activity state while a dialog runs, unless the dialog reports another.
inline constexpr int kActivityDialog = 3;

struct UiContext {
  UiContext(AppContext& app, WindowSettings& window) : app(app), window(window) {}

  AppContext& app;
  WindowSettings& window;
  // Set when the window settings changed (a dialog's centre was stored).
  bool settingsChanged = false;
  // The main window, once it exists; dialogs are placed and their centre stored relative to it.
  QPointer<QWidget> mainWindow;
  // Shows or hides every tooltip ("Show Window Tips"); may be absent.
  TooltipSwitch* tooltips = nullptr;
  // Shows the help topic of a help context number; may be empty.
  std::function<void(int helpContext)> showHelp;
};

}  // namespace lumatag::ui
