#include "ui/DialogPlacement.h"

namespace lumatag::ui {

WindowRect DialogOpeningRect(std::int32_t width, std::int32_t height, const WindowRect* mainWindow,
                             std::int32_t centreLeft, std::int32_t centreTop,
                             const WorkArea& workArea) {
  std::int64_t cx = 0;
  std::int64_t cy = 0;
  if (mainWindow == nullptr) {
    cx = (std::int64_t{workArea.left} + workArea.right) / 2;
    cy = (std::int64_t{workArea.top} + workArea.bottom) / 2;
  } else if (centreLeft == kNoDialogCentre && centreTop == kNoDialogCentre) {
    cx = mainWindow->left + std::int64_t{mainWindow->width} / 2;
    cy = mainWindow->top + std::int64_t{mainWindow->height} / 2;
  } else {
    cx = std::int64_t{mainWindow->left} + centreLeft;
    cy = std::int64_t{mainWindow->top} + centreTop;
  }
  auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(v < INT32_MIN + 1 ? INT32_MIN + 1
                                     : v > INT32_MAX   ? INT32_MAX
                                                       : v);
  };
  // INT32_MIN itself would read as "chosen by the program" when fitted.
  return {clamp(cx - width / 2), clamp(cy - height / 2), width, height};
}

void DialogCentreOf(const WindowRect& dialog, const WindowRect& mainWindow, std::int32_t* left,
                    std::int32_t* top) {
  *left = static_cast<std::int32_t>(std::int64_t{dialog.left} + dialog.width / 2 - mainWindow.left);
  *top = static_cast<std::int32_t>(std::int64_t{dialog.top} + dialog.height / 2 - mainWindow.top);
}

}  // namespace lumatag::ui
