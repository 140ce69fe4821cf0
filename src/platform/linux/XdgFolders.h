// The user's home and XDG base folders, as every part of the program that keeps files finds them.
#pragma once

#include <string>

namespace lumatag {

// $HOME, else the home folder of the user's passwd entry, else ".".
std::string UserHomeFolder();

// `variable` (XDG_CONFIG_HOME, XDG_STATE_HOME, ...) when it holds an absolute path, else the home
// folder followed by `underHome` ("/.config", "/.local/state").
std::string XdgBaseFolder(const char* variable, const char* underHome);

}  // namespace lumatag
