// The registry on Linux: one hive file (see HiveFormat.h), by default
// $XDG_CONFIG_HOME/Lumatag/settings.reg.
//
// Reads use the file as it is on disk (read again whenever it changed). Every change, or every
// batch of changes between BeginUpdate and EndUpdate, takes an exclusive lock (flock on
// "settings.reg.lock"), reads the file afresh, applies the change and replaces the file atomically
// (temporary file, fsync, rename, fsync of the folder); so a crash leaves the old or the new file,
// and two running programs never write back a stale copy over each other's values.
//
// A file that cannot be read in whole or in part is kept under a backup name
// ("settings.reg.broken-YYYYMMDD-HHMMSS") and replaced by everything that could be read;
// TakeRecoveryNotice then reports the backup once.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/RegistryTree.h"
#include "platform/linux/UniqueFd.h"

namespace lumatag {

class HiveRegistryStore final : public RegistryTreeStore {
 public:
  explicit HiveRegistryStore(std::string path);
  ~HiveRegistryStore() override;

  // $XDG_CONFIG_HOME/Lumatag/settings.reg; $HOME/.config stands in for an unset, empty or relative
  // XDG_CONFIG_HOME.
  static std::string DefaultPath();

  const std::string& Path() const { return path_; }

  void BeginUpdate() override;
  RegistryError EndUpdate() override;
  bool TakeRecoveryNotice(std::u16string* backupName) override;

 protected:
  RegistryError BeforeRead() override;
  RegistryError BeforeChange() override;
  RegistryError AfterChange(bool changed) override;

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    bool operator==(const Stamp&) const = default;
  };

  RegistryError Lock();
  void Unlock();
  // Reads the file into the tree when it changed (always when `force`). A damaged file is set
  // aside and rewritten when the lock is held (`locked`), else under a lock taken here.
  RegistryError Load(bool force, bool locked);
  RegistryError SetAside();
  RegistryError Write();

  std::string path_;
  std::string lockPath_;
  UniqueFd lockFd_;
  int depth_ = 0;
  bool dirty_ = false;
  RegistryError batchError_ = ERROR_SUCCESS;
  bool loaded_ = false;
  Stamp stamp_;
  std::string recovered_;
};

}  // namespace lumatag
