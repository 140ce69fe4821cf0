// The standard folders on Linux: the XDG user folders, read from user-dirs.dirs.
#pragma once

#include <string>

#include "ports/StandardFolders.h"

namespace lumatag {

class LinuxStandardFolders final : public StandardFolders {
 public:
  // XDG_PICTURES_DIR from user-dirs.dirs in the XDG config folder (XdgBaseFolder), "$HOME" at its
  // start standing for the home folder, when it names an existing
  // folder; else $HOME/Pictures. The path comes back cleaned of ".", ".." and repeated slashes.
  Status PicturesFolder(std::u16string* folder) override;
};

// `path` without "." and ".." steps, repeated slashes or a trailing slash, as an absolute path
// reads; "/" for the root.
std::string CleanAbsolutePath(const std::string& path);

}  // namespace lumatag
