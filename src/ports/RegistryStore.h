// Port: the per-user registry. A tree of keys under the current user; each key holds named,
// typed values and subkeys. Key and value names keep their spelling but are found without regard
// to case. Every operation returns a Windows error code (0 = success), which the settings code
// turns into a status.
//
// Implementations: the Windows registry itself, a hive file on Linux (platform/linux), and an
// in-memory tree for tests (platform/fake).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatag {

// Windows error codes the registry operations return.
using RegistryError = std::int32_t;
inline constexpr RegistryError ERROR_SUCCESS = 0;
inline constexpr RegistryError ERROR_FILE_NOT_FOUND = 2;
inline constexpr RegistryError ERROR_ACCESS_DENIED = 5;
inline constexpr RegistryError ERROR_INVALID_HANDLE = 6;
inline constexpr RegistryError ERROR_OUTOFMEMORY = 14;
inline constexpr RegistryError ERROR_WRITE_FAULT = 29;
inline constexpr RegistryError ERROR_READ_FAULT = 30;
inline constexpr RegistryError ERROR_INVALID_PARAMETER = 87;
inline constexpr RegistryError ERROR_MORE_DATA = 234;
inline constexpr RegistryError ERROR_NO_MORE_ITEMS = 259;
inline constexpr RegistryError ERROR_BADDB = 1009;
inline constexpr RegistryError ERROR_CANTOPEN = 1011;
inline constexpr RegistryError ERROR_CANTREAD = 1012;
inline constexpr RegistryError ERROR_CANTWRITE = 1013;
inline constexpr RegistryError ERROR_KEY_DELETED = 1018;
inline constexpr RegistryError ERROR_INCORRECT_SIZE = 1462;
inline constexpr RegistryError ERROR_DATATYPE_MISMATCH = 1629;

// Value types. Any other type number is kept as raw bytes with its number.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_QWORD = 11;

// Limits of names (characters, terminator not counted) and data (bytes).
inline constexpr std::uint32_t kMaxRegistryKeyName = 255;
inline constexpr std::uint32_t kMaxRegistryValueName = 16383;
inline constexpr std::uint32_t kMaxRegistryValueData = 1u << 20;

// An open key. kCurrentUserKey is always open and never closed; kNoRegistryKey is no key.
using RegistryKey = std::uint64_t;
inline constexpr RegistryKey kNoRegistryKey = 0;
inline constexpr RegistryKey kCurrentUserKey = 1;

struct RegistryKeyInfo {
  std::uint32_t subkeyCount = 0;
  std::uint32_t longestSubkeyName = 0;  // characters, terminator not counted
  std::uint32_t valueCount = 0;
  std::uint32_t longestValueName = 0;  // characters, terminator not counted
  std::uint32_t longestValueData = 0;  // bytes
};

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  // Opens `path` (one or more names separated by backslashes) below `parent`, creating every
  // missing key on the way (RegCreateKeyW). An empty path opens `parent` again.
  virtual RegistryError CreateKey(RegistryKey parent, std::u16string_view path,
                                  RegistryKey* key) = 0;
  // Opens an existing key (RegOpenKeyW); ERROR_FILE_NOT_FOUND when it does not exist.
  virtual RegistryError OpenKey(RegistryKey parent, std::u16string_view path, RegistryKey* key) = 0;
  virtual RegistryError CloseKey(RegistryKey key) = 0;

  // RegQueryValueExW: with no data buffer only *type and *size are set; with one that is too small
  // the result is ERROR_MORE_DATA and *size says how many bytes are needed. `type` may be null.
  // A missing value gives ERROR_FILE_NOT_FOUND.
  virtual RegistryError QueryValue(RegistryKey key, std::u16string_view name, std::uint32_t* type,
                                   void* data, std::uint32_t* size) = 0;
  // RegSetValueExW: creates or replaces the value.
  virtual RegistryError SetValue(RegistryKey key, std::u16string_view name, std::uint32_t type,
                                 const void* data, std::uint32_t size) = 0;
  virtual RegistryError DeleteValue(RegistryKey key, std::u16string_view name) = 0;
  // RegDeleteKeyW: removes a subkey that has no subkeys of its own (ERROR_ACCESS_DENIED otherwise).
  virtual RegistryError DeleteKey(RegistryKey key, std::u16string_view subkey) = 0;
  // SHDeleteKeyW: removes a subkey with everything below it.
  virtual RegistryError DeleteKeyTree(RegistryKey key, std::u16string_view subkey) = 0;

  // RegQueryInfoKeyW.
  virtual RegistryError QueryInfoKey(RegistryKey key, RegistryKeyInfo* info) = 0;
  // RegEnumValueW: the value at `index`. `*nameChars` is the name buffer's size in characters
  // including the terminator, and on success the name's length without it; a name that does not
  // fit gives ERROR_MORE_DATA. Data as for QueryValue; `type`, `data` and `size` may be null.
  // An index past the last value gives ERROR_NO_MORE_ITEMS.
  virtual RegistryError EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                                  std::uint32_t* nameChars, std::uint32_t* type, void* data,
                                  std::uint32_t* size) = 0;
  // RegEnumKeyExW: the name of the subkey at `index`, as for EnumValue's name.
  virtual RegistryError EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                                std::uint32_t* nameChars) = 0;

  // Groups the changes up to the matching EndUpdate so that they reach the store together (one
  // locked read-modify-write of a hive file). Calls may nest; only the outermost pair counts.
  virtual void BeginUpdate() {}
  virtual RegistryError EndUpdate() { return ERROR_SUCCESS; }

  // True once after the store found its saved state unreadable (in part or in whole) and set it
  // aside; `backupName` receives where the unreadable state was kept.
  virtual bool TakeRecoveryNotice(std::u16string* backupName) {
    (void)backupName;
    return false;
  }
};

}  // namespace lumatag
