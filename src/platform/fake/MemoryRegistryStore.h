// A registry for tests: the tree lives in memory only. Tests read and prepare it through Root(),
// and can make the next changes fail to see how callers cope.
#pragma once

#include "platform/RegistryTree.h"

namespace lumatag {

class MemoryRegistryStore final : public RegistryTreeStore {
 public:
  // Every change fails with `error` while it is not ERROR_SUCCESS (the tree stays as it was).
  void FailChanges(RegistryError error) { failChanges_ = error; }
  // Counts the changes that altered the tree.
  int ChangeCount() const { return changes_; }
  int BatchCount() const { return batches_; }

  // Makes TakeRecoveryNotice report `backupName` once, as a store that set a damaged file aside.
  void SetRecoveryNotice(std::u16string backupName) { notice_ = std::move(backupName); }

  void BeginUpdate() override { ++batches_; }
  bool TakeRecoveryNotice(std::u16string* backupName) override {
    if (notice_.empty()) return false;
    if (backupName != nullptr) *backupName = notice_;
    notice_.clear();
    return true;
  }

 protected:
  RegistryError BeforeChange() override { return failChanges_; }
  RegistryError AfterChange(bool changed) override {
    if (changed) ++changes_;
    return ERROR_SUCCESS;
  }

 private:
  RegistryError failChanges_ = ERROR_SUCCESS;
  int changes_ = 0;
  int batches_ = 0;
  std::u16string notice_;
};

}  // namespace lumatag
