// The standard folders on Linux: the XDG user folders, through Qt.
#pragma once

#include "ports/StandardFolders.h"

namespace lumatag {

class LinuxStandardFolders final : public StandardFolders {
 public:
  Status PicturesFolder(std::u16string* folder) override;
};

}  // namespace lumatag
