// The working folder at start-up: the folder stored in the settings when it still exists, else the
// user's pictures folder, else none.
#pragma once

#include "ports/FileOperations.h"
#include "ports/SettingsRecords.h"
#include "ports/StandardFolders.h"

namespace lumatag {

class PicturesFolderRule final : public WorkingFolderRule {
 public:
  PicturesFolderRule(FileOperations& files, StandardFolders& folders)
      : files_(files), folders_(folders) {}
  void Apply(Status readStatus, CountedString& folder) override;

 private:
  FileOperations& files_;
  StandardFolders& folders_;
};

}  // namespace lumatag
