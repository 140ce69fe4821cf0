// The rename journal's store on Linux: record files in one private folder (0700) under
// $XDG_STATE_HOME/Lumatag, never reached through a symbolic link.
#pragma once

#include <string>

#include "platform/linux/UniqueFd.h"
#include "ports/JournalStore.h"

namespace lumatag {

class LinuxJournalStore final : public JournalStore {
 public:
  // `folder` is created (with its parents) when first needed.
  explicit LinuxJournalStore(std::string folder);
  // $XDG_STATE_HOME/Lumatag/journal, or ~/.local/state/Lumatag/journal.
  static std::string DefaultFolder();

  Status Identify(std::u16string_view path, FileIdentity* identity) override;
  Status List(std::vector<std::string>* names) override;
  Status Read(std::string_view name, std::string* content) override;
  Status Create(std::string_view name, std::string_view data) override;
  Status Append(std::string_view name, std::string_view data, bool durable) override;
  Status Remove(std::string_view name) override;

 private:
  Status Open();
  std::string folder_;
  UniqueFd dir_;
  // The record file last appended to stays open, so a batch costs one open.
  std::string appendName_;
  UniqueFd appendFd_;
};

}  // namespace lumatag
