// The settings store: typed reads and writes of the program's per-user settings over the registry
// port, with the default of every value and what happens when a value is missing or unusable.
//
// Read results:
//   S_OK (0)            the value was read;
//   S_FALSE (1)         the value was missing; the default was stored in the caller's variable and
//                       written back;
//   SETTING_DEFAULTED   the value exists but cannot be used (wrong type, wrong size, another read
//                       error); the default was stored and nothing was written;
//   E_FILE_NOT_FOUND    the value is missing and the operation does not write defaults back; the
//                       caller's variable holds the default;
//   other failures      for example out of memory, or a failed write-back of a default.
// A registry error code e becomes the status (e AND 0xFFFF) OR 0x80070000.
//
// Value names are string-table entries (the same in every language) given by id; every operation
// also takes the name as text, for names that are data (extensions, pattern names).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/CountedString.h"
#include "foundation/StringTable.h"
#include "ports/RegistryStore.h"

namespace lumatag {

class SettingsStore;

// An open registry key; closed when the object goes (or by Close).
class SettingsKey {
 public:
  SettingsKey() = default;
  ~SettingsKey() { Close(); }
  SettingsKey(SettingsKey&& other) noexcept;
  SettingsKey& operator=(SettingsKey&& other) noexcept;
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;

  bool IsOpen() const { return key_ != kNoRegistryKey; }
  RegistryKey Handle() const { return key_; }
  void Close();

 private:
  friend class SettingsStore;
  RegistryStore* registry_ = nullptr;
  RegistryKey key_ = kNoRegistryKey;
};

// A registry error code as a status (0 stays S_OK).
Status StatusFromRegistryError(RegistryError error);

class SettingsStore {
 public:
  // `names` is the table the value names come from (the program's own table).
  explicit SettingsStore(RegistryStore& registry,
                         const StringModule& names = StringModule::BuiltIn());

  RegistryStore& Registry() { return registry_; }
  const StringModule& Names() const { return names_; }

  // --- Keys ---------------------------------------------------------------------------------
  // Opens an existing key below the current user (used for saving; never creates the key).
  Status OpenSettingsKey(std::uint16_t pathId, SettingsKey* key);
  // Creates or opens a key below `parent` (null: the current user), so that a first start creates
  // the key.
  Status CreateSettingsKey(const SettingsKey* parent, std::uint16_t nameId, SettingsKey* key);
  Status CreateSettingsKey(const SettingsKey* parent, std::u16string_view name, SettingsKey* key);
  Status OpenSubkey(const SettingsKey& parent, std::u16string_view name, SettingsKey* key);
  Status DeleteValue(const SettingsKey& key, std::uint16_t nameId);
  Status DeleteValue(const SettingsKey& key, std::u16string_view name);
  // Removes a subkey with everything below it.
  Status DeleteKeyTree(const SettingsKey& key, std::uint16_t nameId);
  Status DeleteKeyTree(const SettingsKey& key, std::u16string_view name);
  // Removes a subkey that has no subkeys.
  Status DeleteKey(const SettingsKey& key, std::uint16_t nameId);
  Status DeleteKey(const SettingsKey& key, std::u16string_view name);
  Status QueryKeyInfo(const SettingsKey& key, RegistryKeyInfo* info);
  // The name of the value or subkey at `index`, read with a name buffer of `bufferChars`
  // characters (terminator included). The registry's own errors come back as statuses:
  // 0x80070103 past the last entry, 0x800700EA when the name does not fit the buffer.
  Status EnumValueName(const SettingsKey& key, std::uint32_t index, std::uint32_t bufferChars,
                       CountedString& name);
  Status EnumSubkeyName(const SettingsKey& key, std::uint32_t index, std::uint32_t bufferChars,
                        CountedString& name);

  // --- Typed reads ------------------------------------------------------------------------------
  // A REG_DWORD of exactly 4 bytes; a missing value is written back with SetDword.
  Status GetDword(const SettingsKey& key, std::uint16_t nameId, std::uint32_t defaultValue,
                  std::uint32_t* value);
  Status GetDword(const SettingsKey& key, std::u16string_view name, std::uint32_t defaultValue,
                  std::uint32_t* value);
  // GetDword with default 1 and write-back; any non-zero DWORD reads as true.
  Status GetBoolDefaultTrue(const SettingsKey& key, std::uint16_t nameId, bool* value);
  // Default 0 and no write-back (a missing value gives E_FILE_NOT_FOUND).
  Status GetBoolDefaultFalse(const SettingsKey& key, std::uint16_t nameId, bool* value);
  // A REG_SZ value (REG_EXPAND_SZ and other types are refused), read whole even without a
  // terminator and cut at its first NUL. No write-back. A null `value` gives E_INVALIDARG.
  Status GetString(const SettingsKey& key, std::uint16_t nameId, std::u16string_view defaultText,
                   CountedString* value);
  Status GetString(const SettingsKey& key, std::u16string_view name,
                   std::u16string_view defaultText, CountedString* value);
  // GetString with "" as default and write-back of "" for a missing value (result S_FALSE).
  Status GetStringDefaultEmpty(const SettingsKey& key, std::uint16_t nameId, CountedString* value);
  // A REG_BINARY value into the caller's buffer of *size bytes: E_BUFFER_TOO_SMALL (nothing read)
  // when the stored value is larger; on success *size is the stored size.
  Status GetBinary(const SettingsKey& key, std::uint16_t nameId, std::uint8_t* buffer,
                   std::uint32_t* size);
  // The same into a buffer of the stored size.
  Status GetBinary(const SettingsKey& key, std::uint16_t nameId, std::vector<std::uint8_t>* data);

  // --- Typed writes -----------------------------------------------------------------------------
  Status SetDword(const SettingsKey& key, std::uint16_t nameId, std::uint32_t value);
  Status SetDword(const SettingsKey& key, std::u16string_view name, std::uint32_t value);
  // REG_DWORD 1 for any non-zero value, else 0.
  Status SetBool(const SettingsKey& key, std::uint16_t nameId, std::uint32_t value);
  // REG_SZ with its terminating NUL; a null text writes a value of zero bytes.
  Status SetString(const SettingsKey& key, std::uint16_t nameId, const CountedString* text);
  Status SetString(const SettingsKey& key, std::u16string_view name, const CountedString* text);
  Status SetString(const SettingsKey& key, std::u16string_view name, std::u16string_view text);
  // REG_BINARY of 8 bytes; a null value writes zero bytes.
  Status SetBinary(const SettingsKey& key, std::uint16_t nameId, const std::uint8_t* value8);

  // The value name of an id, loaded into `name` (capacity 255).
  Status LoadName(std::uint16_t nameId, CountedString& name) const;

 private:
  Status ReadDword(const SettingsKey& key, std::u16string_view name, std::uint32_t defaultValue,
                   std::uint32_t* value, bool writeBack);
  Status ReadBinary(const SettingsKey& key, std::uint16_t nameId, std::uint8_t* buffer,
                    std::uint32_t* size, std::vector<std::uint8_t>* data);
  Status SetRaw(const SettingsKey& key, std::u16string_view name, std::uint32_t type,
                const void* data, std::uint32_t size);
  Status EnumName(const SettingsKey& key, std::uint32_t index, std::uint32_t bufferChars,
                  CountedString& name, bool subkeys);

  RegistryStore& registry_;
  const StringModule& names_;
};

}  // namespace lumatag
