// An in-memory registry tree with the RegistryStore operations over it. The test fake uses it as
// it is; the hive file store loads it from a file before it reads and writes it back after a
// change.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/RegistryStore.h"

namespace lumatag {

struct RegistryValue {
  std::u16string name;
  std::uint32_t type = REG_NONE;
  std::vector<std::uint8_t> data;
};

// Keys nest at most this deep below the current user's key, as in the registry itself.
inline constexpr std::size_t kMaxRegistryDepth = 512;

struct RegistryNode {
  RegistryNode() = default;
  // Takes the subtree apart without recursion, however deep it is.
  ~RegistryNode();
  RegistryNode(const RegistryNode&) = delete;
  RegistryNode& operator=(const RegistryNode&) = delete;

  std::u16string name;
  // Values in the order they were first set; subkeys sorted by name without regard to case.
  std::vector<RegistryValue> values;
  std::vector<std::unique_ptr<RegistryNode>> subkeys;

  RegistryValue* FindValue(std::u16string_view valueName);
  RegistryNode* FindSubkey(std::u16string_view keyName);
  // The subkey, created in its sorted place when missing.
  RegistryNode* AddSubkey(std::u16string_view keyName);
  // Sets a value, replacing one of the same name (the stored spelling of the name is kept).
  void SetValue(std::u16string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data);
  bool RemoveValue(std::u16string_view valueName);
  bool RemoveSubkey(std::u16string_view keyName);
  std::unique_ptr<RegistryNode> Clone() const;
};

// Registry names are compared without regard to case (Unicode case folding).
int CompareRegistryNames(std::u16string_view a, std::u16string_view b);
// The case-folded form of a name: two names compare equal exactly when their folded forms are
// the same, so it can key a hash table.
std::u16string FoldRegistryName(std::u16string_view name);

// Splits a key path at backslashes. False for an empty name, a name longer than the key-name
// limit, or a path with an empty component (two backslashes in a row, or one at either end).
bool SplitRegistryPath(std::u16string_view path, std::vector<std::u16string>* names);

class RegistryTreeStore : public RegistryStore {
 public:
  RegistryTreeStore();
  ~RegistryTreeStore() override;

  RegistryError CreateKey(RegistryKey parent, std::u16string_view path, RegistryKey* key) override;
  RegistryError OpenKey(RegistryKey parent, std::u16string_view path, RegistryKey* key) override;
  RegistryError CloseKey(RegistryKey key) override;
  RegistryError QueryValue(RegistryKey key, std::u16string_view name, std::uint32_t* type,
                           void* data, std::uint32_t* size) override;
  RegistryError SetValue(RegistryKey key, std::u16string_view name, std::uint32_t type,
                         const void* data, std::uint32_t size) override;
  RegistryError DeleteValue(RegistryKey key, std::u16string_view name) override;
  RegistryError DeleteKey(RegistryKey key, std::u16string_view subkey) override;
  RegistryError DeleteKeyTree(RegistryKey key, std::u16string_view subkey) override;
  RegistryError QueryInfoKey(RegistryKey key, RegistryKeyInfo* info) override;
  RegistryError EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                          std::uint32_t* nameChars, std::uint32_t* type, void* data,
                          std::uint32_t* size) override;
  RegistryError EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                        std::uint32_t* nameChars) override;

  // The root of the tree (the current user's key).
  RegistryNode& Root() { return *root_; }
  const RegistryNode& Root() const { return *root_; }
  // Number of keys open (tests check that callers close what they open).
  int OpenKeyCount() const { return static_cast<int>(handles_.size()); }

 protected:
  // Hooks for stores that keep the tree elsewhere: called before every read, before every change,
  // and after every change (`changed` says whether the tree differs).
  virtual RegistryError BeforeRead() { return ERROR_SUCCESS; }
  virtual RegistryError BeforeChange() { return ERROR_SUCCESS; }
  virtual RegistryError AfterChange(bool changed) {
    (void)changed;
    return ERROR_SUCCESS;
  }
  void ReplaceRoot(std::unique_ptr<RegistryNode> root);

 private:
  // The node of an open key: ERROR_INVALID_HANDLE for an unknown handle, ERROR_KEY_DELETED when
  // the key has gone.
  RegistryError Resolve(RegistryKey key, RegistryNode** node);
  RegistryError OpenOrCreate(RegistryKey parent, std::u16string_view path, RegistryKey* key,
                             bool create);
  RegistryError DeleteSubkey(RegistryKey key, std::u16string_view subkey, bool tree);
  // One change of the node of `key`, between BeforeChange and AfterChange: `edit` (node, changed)
  // makes it and says whether the tree now differs. The first failure is returned.
  template <class Edit>
  RegistryError ChangeNode(RegistryKey key, Edit&& edit);

  std::unique_ptr<RegistryNode> root_;
  std::map<RegistryKey, std::vector<std::u16string>> handles_;
  RegistryKey nextHandle_ = 16;
};

}  // namespace lumatag
