// File operations on Linux: POSIX listing and renaming, the freedesktop trash through Qt.
#pragma once

#include "ports/FileOperations.h"

namespace lumatag {

class LinuxFileOperations final : public FileOperations {
 public:
  Status OpenListing(std::u16string_view folder, std::unique_ptr<FolderListing>* listing) override;
  Status OpenNameListing(std::u16string_view folder,
                         std::unique_ptr<FolderListing>* listing) override;
  Status Move(std::u16string_view from, std::u16string_view to, bool replaceExisting) override;
  Status Recycle(std::u16string_view path) override;
};

}  // namespace lumatag
