#include "platform/RegistryTree.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>

namespace lumatag {

int CompareRegistryNames(std::u16string_view a, std::u16string_view b) {
  // Plain ASCII names, by far the most common, fold by themselves: the same order as ICU's, without
  // its cost.
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
  std::size_t i = 0;
  const std::size_t common = std::min(a.size(), b.size());
  while (i < common && a[i] < 0x80 && b[i] < 0x80) {
    const int x = fold(a[i]);
    const int y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
    ++i;
  }
  if (i == common && (i == a.size() || a[i] < 0x80) && (i == b.size() || b[i] < 0x80)) {
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  UErrorCode error = U_ZERO_ERROR;
  const int c = u_strCaseCompare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                                 static_cast<int32_t>(b.size()), U_FOLD_CASE_DEFAULT, &error);
  if (U_FAILURE(error)) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::u16string FoldRegistryName(std::u16string_view name) {
  std::u16string folded(name.size() + 8, u'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length =
        u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()), name.data(),
                      static_cast<int32_t>(name.size()), U_FOLD_CASE_DEFAULT, &error);
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      folded.resize(static_cast<std::size_t>(length));
      continue;
    }
    if (U_FAILURE(error)) return std::u16string(name);
    folded.resize(static_cast<std::size_t>(length));
    return folded;
  }
  return std::u16string(name);
}

bool SplitRegistryPath(std::u16string_view path, std::vector<std::u16string>* names) {
  names->clear();
  if (path.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find(u'\\', start);
    const std::u16string_view name = path.substr(
        start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
    if (name.empty() || name.size() > kMaxRegistryKeyName) return false;
    names->emplace_back(name);
    if (end == std::u16string_view::npos) return true;
    start = end + 1;
  }
}

RegistryValue* RegistryNode::FindValue(std::u16string_view valueName) {
  for (RegistryValue& value : values) {
    if (CompareRegistryNames(value.name, valueName) == 0) return &value;
  }
  return nullptr;
}

namespace {

// Position of the first subkey not ordered before `name`.
std::size_t LowerBound(const std::vector<std::unique_ptr<RegistryNode>>& subkeys,
                       std::u16string_view name) {
  const auto it =
      std::lower_bound(subkeys.begin(), subkeys.end(), name,
                       [](const std::unique_ptr<RegistryNode>& node, std::u16string_view key) {
                         return CompareRegistryNames(node->name, key) < 0;
                       });
  return static_cast<std::size_t>(it - subkeys.begin());
}

}  // namespace

RegistryNode* RegistryNode::FindSubkey(std::u16string_view keyName) {
  const std::size_t at = LowerBound(subkeys, keyName);
  if (at < subkeys.size() && CompareRegistryNames(subkeys[at]->name, keyName) == 0) {
    return subkeys[at].get();
  }
  return nullptr;
}

RegistryNode* RegistryNode::AddSubkey(std::u16string_view keyName) {
  const std::size_t at = LowerBound(subkeys, keyName);
  if (at < subkeys.size() && CompareRegistryNames(subkeys[at]->name, keyName) == 0) {
    return subkeys[at].get();
  }
  auto node = std::make_unique<RegistryNode>();
  node->name.assign(keyName);
  RegistryNode* result = node.get();
  subkeys.insert(subkeys.begin() + static_cast<std::ptrdiff_t>(at), std::move(node));
  return result;
}

void RegistryNode::SetValue(std::u16string_view valueName, std::uint32_t type,
                            std::vector<std::uint8_t> data) {
  RegistryValue* value = FindValue(valueName);
  if (value == nullptr) {
    values.push_back({std::u16string(valueName), type, {}});
    value = &values.back();
  }
  value->type = type;
  value->data = std::move(data);
}

bool RegistryNode::RemoveValue(std::u16string_view valueName) {
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (CompareRegistryNames(it->name, valueName) == 0) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

bool RegistryNode::RemoveSubkey(std::u16string_view keyName) {
  const std::size_t at = LowerBound(subkeys, keyName);
  if (at < subkeys.size() && CompareRegistryNames(subkeys[at]->name, keyName) == 0) {
    subkeys.erase(subkeys.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  }
  return false;
}

RegistryNode::~RegistryNode() {
  std::vector<std::unique_ptr<RegistryNode>> pending = std::move(subkeys);
  while (!pending.empty()) {
    std::unique_ptr<RegistryNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& subkey : node->subkeys) pending.push_back(std::move(subkey));
    node->subkeys.clear();
  }
}

std::unique_ptr<RegistryNode> RegistryNode::Clone() const {
  auto copy = std::make_unique<RegistryNode>();
  // Copied level by level with a list of pairs still to copy, not by recursion.
  std::vector<std::pair<const RegistryNode*, RegistryNode*>> pending = {{this, copy.get()}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    to->name = from->name;
    to->values = from->values;
    to->subkeys.reserve(from->subkeys.size());
    for (const auto& subkey : from->subkeys) {
      to->subkeys.push_back(std::make_unique<RegistryNode>());
      pending.emplace_back(subkey.get(), to->subkeys.back().get());
    }
  }
  return copy;
}

RegistryTreeStore::RegistryTreeStore() : root_(std::make_unique<RegistryNode>()) {}
RegistryTreeStore::~RegistryTreeStore() = default;

void RegistryTreeStore::ReplaceRoot(std::unique_ptr<RegistryNode> root) {
  root_ = std::move(root);
}

RegistryError RegistryTreeStore::Resolve(RegistryKey key, RegistryNode** node) {
  if (key == kCurrentUserKey) {
    *node = root_.get();
    return ERROR_SUCCESS;
  }
  const auto it = handles_.find(key);
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  RegistryNode* at = root_.get();
  for (const std::u16string& name : it->second) {
    at = at->FindSubkey(name);
    if (at == nullptr) return ERROR_KEY_DELETED;
  }
  *node = at;
  return ERROR_SUCCESS;
}

RegistryError RegistryTreeStore::OpenOrCreate(RegistryKey parent, std::u16string_view path,
                                              RegistryKey* key, bool create) {
  if (key == nullptr) return ERROR_INVALID_PARAMETER;
  *key = kNoRegistryKey;
  std::vector<std::u16string> names;
  if (!SplitRegistryPath(path, &names)) return ERROR_INVALID_PARAMETER;
  std::vector<std::u16string> full;
  if (parent != kCurrentUserKey) {
    const auto it = handles_.find(parent);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    full = it->second;
  }
  if (full.size() + names.size() > kMaxRegistryDepth) return ERROR_INVALID_PARAMETER;
  // Opening comes first: creating a key that exists already changes nothing.
  RegistryError error = BeforeRead();
  if (error != ERROR_SUCCESS) return error;
  RegistryNode* node = nullptr;
  error = Resolve(parent, &node);
  bool changing = false;
  if (error == ERROR_SUCCESS && create) {
    RegistryNode* at = node;
    for (const std::u16string& name : names) {
      at = at->FindSubkey(name);
      if (at == nullptr) break;
    }
    if (at == nullptr) {
      error = BeforeChange();
      if (error != ERROR_SUCCESS) return error;
      changing = true;
      error = Resolve(parent, &node);
    }
  }
  bool changed = false;
  if (error == ERROR_SUCCESS) {
    for (const std::u16string& name : names) {
      RegistryNode* next = node->FindSubkey(name);
      if (next == nullptr) {
        if (!create) {
          error = ERROR_FILE_NOT_FOUND;
          break;
        }
        next = node->AddSubkey(name);
        changed = true;
      }
      // The stored spelling names the key from now on.
      full.push_back(next->name);
      node = next;
    }
  }
  if (changing) {
    const RegistryError after = AfterChange(changed);
    if (error == ERROR_SUCCESS) error = after;
  }
  if (error != ERROR_SUCCESS) return error;
  *key = nextHandle_++;
  handles_[*key] = std::move(full);
  return ERROR_SUCCESS;
}

RegistryError RegistryTreeStore::CreateKey(RegistryKey parent, std::u16string_view path,
                                           RegistryKey* key) {
  return OpenOrCreate(parent, path, key, true);
}

RegistryError RegistryTreeStore::OpenKey(RegistryKey parent, std::u16string_view path,
                                         RegistryKey* key) {
  return OpenOrCreate(parent, path, key, false);
}

RegistryError RegistryTreeStore::CloseKey(RegistryKey key) {
  if (key == kCurrentUserKey) return ERROR_SUCCESS;
  return handles_.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace {

// Copies value data the way RegQueryValueExW does.
RegistryError CopyData(const RegistryValue& value, std::uint32_t* type, void* data,
                       std::uint32_t* size) {
  if (type != nullptr) *type = value.type;
  const std::uint32_t needed = static_cast<std::uint32_t>(value.data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

RegistryError CopyName(std::u16string_view source, char16_t* name, std::uint32_t* nameChars) {
  if (name == nullptr || nameChars == nullptr) return ERROR_INVALID_PARAMETER;
  if (*nameChars <= source.size()) return ERROR_MORE_DATA;
  std::copy(source.begin(), source.end(), name);
  name[source.size()] = 0;
  *nameChars = static_cast<std::uint32_t>(source.size());
  return ERROR_SUCCESS;
}

}  // namespace

RegistryError RegistryTreeStore::QueryValue(RegistryKey key, std::u16string_view name,
                                            std::uint32_t* type, void* data, std::uint32_t* size) {
  RegistryError error = BeforeRead();
  if (error != ERROR_SUCCESS) return error;
  RegistryNode* node = nullptr;
  error = Resolve(key, &node);
  if (error != ERROR_SUCCESS) return error;
  const RegistryValue* value = node->FindValue(name);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  return CopyData(*value, type, data, size);
}

template <class Edit>
RegistryError RegistryTreeStore::ChangeNode(RegistryKey key, Edit&& edit) {
  RegistryError error = BeforeChange();
  if (error != ERROR_SUCCESS) return error;
  RegistryNode* node = nullptr;
  error = Resolve(key, &node);
  bool changed = false;
  if (error == ERROR_SUCCESS) error = edit(node, &changed);
  const RegistryError after = AfterChange(changed);
  return error != ERROR_SUCCESS ? error : after;
}

RegistryError RegistryTreeStore::SetValue(RegistryKey key, std::u16string_view name,
                                          std::uint32_t type, const void* data,
                                          std::uint32_t size) {
  if (name.size() > kMaxRegistryValueName || size > kMaxRegistryValueData ||
      (data == nullptr && size > 0)) {
    return ERROR_INVALID_PARAMETER;
  }
  return ChangeNode(key, [&](RegistryNode* node, bool* changed) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> copy(bytes, bytes + size);
    const RegistryValue* old = node->FindValue(name);
    *changed = old == nullptr || old->type != type || old->data != copy;
    node->SetValue(name, type, std::move(copy));
    return ERROR_SUCCESS;
  });
}

RegistryError RegistryTreeStore::DeleteValue(RegistryKey key, std::u16string_view name) {
  return ChangeNode(key, [&](RegistryNode* node, bool* changed) {
    *changed = node->RemoveValue(name);
    return *changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

RegistryError RegistryTreeStore::DeleteSubkey(RegistryKey key, std::u16string_view subkey,
                                              bool tree) {
  std::vector<std::u16string> names;
  if (!SplitRegistryPath(subkey, &names) || names.empty()) return ERROR_INVALID_PARAMETER;
  return ChangeNode(key, [&](RegistryNode* node, bool* changed) {
    RegistryNode* parent = node;
    for (std::size_t i = 0; i + 1 < names.size() && parent != nullptr; ++i) {
      parent = parent->FindSubkey(names[i]);
    }
    RegistryNode* target = parent != nullptr ? parent->FindSubkey(names.back()) : nullptr;
    if (target == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!tree && !target->subkeys.empty()) return ERROR_ACCESS_DENIED;
    *changed = parent->RemoveSubkey(names.back());
    return ERROR_SUCCESS;
  });
}

RegistryError RegistryTreeStore::DeleteKey(RegistryKey key, std::u16string_view subkey) {
  return DeleteSubkey(key, subkey, false);
}

RegistryError RegistryTreeStore::DeleteKeyTree(RegistryKey key, std::u16string_view subkey) {
  return DeleteSubkey(key, subkey, true);
}

RegistryError RegistryTreeStore::QueryInfoKey(RegistryKey key, RegistryKeyInfo* info) {
  if (info == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryError error = BeforeRead();
  if (error != ERROR_SUCCESS) return error;
  RegistryNode* node = nullptr;
  error = Resolve(key, &node);
  if (error != ERROR_SUCCESS) return error;
  *info = {};
  info->subkeyCount = static_cast<std::uint32_t>(node->subkeys.size());
  info->valueCount = static_cast<std::uint32_t>(node->values.size());
  for (const auto& subkey : node->subkeys) {
    info->longestSubkeyName =
        std::max(info->longestSubkeyName, static_cast<std::uint32_t>(subkey->name.size()));
  }
  for (const RegistryValue& value : node->values) {
    info->longestValueName =
        std::max(info->longestValueName, static_cast<std::uint32_t>(value.name.size()));
    info->longestValueData =
        std::max(info->longestValueData, static_cast<std::uint32_t>(value.data.size()));
  }
  return ERROR_SUCCESS;
}

RegistryError RegistryTreeStore::EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                                           std::uint32_t* nameChars, std::uint32_t* type,
                                           void* data, std::uint32_t* size) {
  RegistryError error = BeforeRead();
  if (error != ERROR_SUCCESS) return error;
  RegistryNode* node = nullptr;
  error = Resolve(key, &node);
  if (error != ERROR_SUCCESS) return error;
  if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
  const RegistryValue& value = node->values[index];
  error = CopyName(value.name, name, nameChars);
  if (error != ERROR_SUCCESS) return error;
  if (type == nullptr && data == nullptr && size == nullptr) return ERROR_SUCCESS;
  return CopyData(value, type, data, size);
}

RegistryError RegistryTreeStore::EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                                         std::uint32_t* nameChars) {
  RegistryError error = BeforeRead();
  if (error != ERROR_SUCCESS) return error;
  RegistryNode* node = nullptr;
  error = Resolve(key, &node);
  if (error != ERROR_SUCCESS) return error;
  if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  return CopyName(node->subkeys[index]->name, name, nameChars);
}

}  // namespace lumatag
