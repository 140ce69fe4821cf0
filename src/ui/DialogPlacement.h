// Where a dialog opens and what is remembered when it closes. The dialog's centre is remembered
// relative to the main window's top-left corner ("Dialog Center Left" / "Dialog Center Top", both
// -1 for none) so that dialogs come back where the person left them when the main window moves.
#pragma once

#include <cstdint>

#include "ports/SettingsRecords.h"

namespace lumatag::ui {

inline constexpr std::int32_t kNoDialogCentre = -1;

// The rectangle of a dialog of `width` x `height` before it is fitted to its monitor: centred on
// the stored centre relative to `mainWindow`; with no stored centre (both -1) centred over the
// main window; with no main window centred in `workArea`.
WindowRect DialogOpeningRect(std::int32_t width, std::int32_t height, const WindowRect* mainWindow,
                             std::int32_t centreLeft, std::int32_t centreTop,
                             const WorkArea& workArea);

// The centre of `dialog` relative to the main window's top-left corner (integer halves).
void DialogCentreOf(const WindowRect& dialog, const WindowRect& mainWindow, std::int32_t* left,
                    std::int32_t* top);

}  // namespace lumatag::ui
