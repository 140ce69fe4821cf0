// Edit > Patterns Manager...: the Patterns Manager over a copy of the catalogue, then the copy
// applied like every settings dialog's (saved at once, the folder rescanned when the patterns
// changed), with the current pattern kept on the same pattern even when it was renamed or the
// catalogue re-sorted.
#pragma once

#include "foundation/Status.h"

namespace lumatag::ui {
class DialogRunner;
}  // namespace lumatag::ui

namespace lumatag::shell {

class ShellApplication;

// Runs the manager and its dialogs through `runner` (the modal one; tests script it).
Status RunPatternsCommand(ShellApplication& app, ui::DialogRunner& runner);

}  // namespace lumatag::shell
