#include "ports/SettingsStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lumatag {

// --- SettingsKey
// ----------------------------------------------------------------------------------

SettingsKey::SettingsKey(SettingsKey&& other) noexcept
    : registry_(other.registry_), key_(other.key_) {
  other.key_ = kNoRegistryKey;
}

SettingsKey& SettingsKey::operator=(SettingsKey&& other) noexcept {
  if (this != &other) {
    Close();
    registry_ = other.registry_;
    key_ = other.key_;
    other.key_ = kNoRegistryKey;
  }
  return *this;
}

void SettingsKey::Close() {
  if (key_ != kNoRegistryKey && registry_ != nullptr) registry_->CloseKey(key_);
  key_ = kNoRegistryKey;
}

Status StatusFromRegistryError(RegistryError error) {
  return error == ERROR_SUCCESS ? S_OK : StatusFromLastError(error, E_FAIL);
}

// --- Keys
// -----------------------------------------------------------------------------------------

SettingsStore::SettingsStore(RegistryStore& registry, const StringModule& names)
    : registry_(registry), names_(names) {}

Status SettingsStore::LoadName(std::uint16_t nameId, CountedString& name) const {
  return LoadString(names_, nameId, name);
}

#define LT_NAME(variable, id) \
  MessageString variable;     \
  LT_TRY(LoadName(id, variable))

Status SettingsStore::OpenSettingsKey(std::uint16_t pathId, SettingsKey* key) {
  if (key == nullptr) return E_INVALIDARG;
  key->Close();
  LT_NAME(path, pathId);
  RegistryKey handle = kNoRegistryKey;
  LT_TRY(StatusFromRegistryError(registry_.OpenKey(kCurrentUserKey, path.View(), &handle)));
  key->registry_ = &registry_;
  key->key_ = handle;
  return S_OK;
}

Status SettingsStore::CreateSettingsKey(const SettingsKey* parent, std::uint16_t nameId,
                                        SettingsKey* key) {
  LT_NAME(name, nameId);
  return CreateSettingsKey(parent, name.View(), key);
}

Status SettingsStore::CreateSettingsKey(const SettingsKey* parent, std::u16string_view name,
                                        SettingsKey* key) {
  if (key == nullptr) return E_INVALIDARG;
  key->Close();
  RegistryKey handle = kNoRegistryKey;
  const RegistryKey under = parent != nullptr ? parent->Handle() : kCurrentUserKey;
  LT_TRY(StatusFromRegistryError(registry_.CreateKey(under, name, &handle)));
  key->registry_ = &registry_;
  key->key_ = handle;
  return S_OK;
}

Status SettingsStore::OpenSubkey(const SettingsKey& parent, std::u16string_view name,
                                 SettingsKey* key) {
  if (key == nullptr) return E_INVALIDARG;
  key->Close();
  RegistryKey handle = kNoRegistryKey;
  LT_TRY(StatusFromRegistryError(registry_.OpenKey(parent.Handle(), name, &handle)));
  key->registry_ = &registry_;
  key->key_ = handle;
  return S_OK;
}

Status SettingsStore::DeleteValue(const SettingsKey& key, std::uint16_t nameId) {
  LT_NAME(name, nameId);
  return DeleteValue(key, name.View());
}

Status SettingsStore::DeleteValue(const SettingsKey& key, std::u16string_view name) {
  return StatusFromRegistryError(registry_.DeleteValue(key.Handle(), name));
}

Status SettingsStore::DeleteKeyTree(const SettingsKey& key, std::uint16_t nameId) {
  LT_NAME(name, nameId);
  return DeleteKeyTree(key, name.View());
}

Status SettingsStore::DeleteKeyTree(const SettingsKey& key, std::u16string_view name) {
  return StatusFromRegistryError(registry_.DeleteKeyTree(key.Handle(), name));
}

Status SettingsStore::DeleteKey(const SettingsKey& key, std::uint16_t nameId) {
  LT_NAME(name, nameId);
  return DeleteKey(key, name.View());
}

Status SettingsStore::DeleteKey(const SettingsKey& key, std::u16string_view name) {
  return StatusFromRegistryError(registry_.DeleteKey(key.Handle(), name));
}

Status SettingsStore::QueryKeyInfo(const SettingsKey& key, RegistryKeyInfo* info) {
  return StatusFromRegistryError(registry_.QueryInfoKey(key.Handle(), info));
}

Status SettingsStore::EnumName(const SettingsKey& key, std::uint32_t index,
                               std::uint32_t bufferChars, CountedString& name, bool subkeys) {
  name.Clear();
  if (bufferChars < 1 || bufferChars > static_cast<std::uint32_t>(CountedString::kMaxLength) + 1) {
    return E_INVALIDARG;
  }
  LT_TRY(name.Reserve(static_cast<int>(bufferChars)));
  std::uint32_t chars = bufferChars;
  const RegistryError error =
      subkeys ? registry_.EnumKey(key.Handle(), index, name.MutableText(), &chars)
              : registry_.EnumValue(key.Handle(), index, name.MutableText(), &chars, nullptr,
                                    nullptr, nullptr);
  if (error != ERROR_SUCCESS) {
    name.Clear();
    return StatusFromRegistryError(error);
  }
  name.SetLength(static_cast<int>(chars));
  return S_OK;
}

Status SettingsStore::EnumValueName(const SettingsKey& key, std::uint32_t index,
                                    std::uint32_t bufferChars, CountedString& name) {
  return EnumName(key, index, bufferChars, name, false);
}

Status SettingsStore::EnumSubkeyName(const SettingsKey& key, std::uint32_t index,
                                     std::uint32_t bufferChars, CountedString& name) {
  return EnumName(key, index, bufferChars, name, true);
}

// --- Typed reads
// ----------------------------------------------------------------------------------

Status SettingsStore::ReadDword(const SettingsKey& key, std::u16string_view name,
                                std::uint32_t defaultValue, std::uint32_t* value, bool writeBack) {
  if (value == nullptr) return E_INVALIDARG;
  std::uint32_t type = REG_NONE;
  std::uint8_t bytes[4] = {};
  std::uint32_t size = sizeof bytes;
  RegistryError error = registry_.QueryValue(key.Handle(), name, &type, bytes, &size);
  if (error == ERROR_SUCCESS && type != REG_DWORD) error = ERROR_DATATYPE_MISMATCH;
  if (error == ERROR_SUCCESS && size != 4) error = ERROR_INCORRECT_SIZE;
  if (error == ERROR_SUCCESS) {
    std::memcpy(value, bytes, 4);
    return S_OK;
  }
  *value = defaultValue;
  if (error != ERROR_FILE_NOT_FOUND) return SETTING_DEFAULTED;
  if (!writeBack) return E_FILE_NOT_FOUND;
  LT_TRY(SetDword(key, name, defaultValue));
  return S_FALSE;
}

Status SettingsStore::GetDword(const SettingsKey& key, std::uint16_t nameId,
                               std::uint32_t defaultValue, std::uint32_t* value) {
  if (value != nullptr) *value = defaultValue;
  LT_NAME(name, nameId);
  return ReadDword(key, name.View(), defaultValue, value, true);
}

Status SettingsStore::GetDword(const SettingsKey& key, std::u16string_view name,
                               std::uint32_t defaultValue, std::uint32_t* value) {
  return ReadDword(key, name, defaultValue, value, true);
}

Status SettingsStore::GetBoolDefaultTrue(const SettingsKey& key, std::uint16_t nameId,
                                         bool* value) {
  if (value == nullptr) return E_INVALIDARG;
  *value = true;
  LT_NAME(name, nameId);
  std::uint32_t read = 1;
  const Status status = ReadDword(key, name.View(), 1, &read, true);
  *value = read != 0;
  return status;
}

Status SettingsStore::GetBoolDefaultFalse(const SettingsKey& key, std::uint16_t nameId,
                                          bool* value) {
  if (value == nullptr) return E_INVALIDARG;
  *value = false;
  LT_NAME(name, nameId);
  std::uint32_t read = 0;
  const Status status = ReadDword(key, name.View(), 0, &read, false);
  *value = read != 0;
  return status;
}

Status SettingsStore::GetString(const SettingsKey& key, std::uint16_t nameId,
                                std::u16string_view defaultText, CountedString* value) {
  if (value == nullptr) return E_INVALIDARG;
  LT_NAME(name, nameId);
  return GetString(key, name.View(), defaultText, value);
}

Status SettingsStore::GetString(const SettingsKey& key, std::u16string_view name,
                                std::u16string_view defaultText, CountedString* value) {
  if (value == nullptr) return E_INVALIDARG;
  std::uint32_t type = REG_NONE;
  std::uint32_t size = 0;
  RegistryError error = registry_.QueryValue(key.Handle(), name, &type, nullptr, &size);
  if (error == ERROR_SUCCESS && type != REG_SZ) error = ERROR_DATATYPE_MISMATCH;
  Status failure = S_OK;
  if (error == ERROR_SUCCESS) {
    // An odd byte count still holds a last, partial character: size the text so that every stored
    // byte fits. One more character leaves room for a terminator the value may lack.
    const std::uint32_t chars = (size + 1) / 2;
    if (chars > static_cast<std::uint32_t>(CountedString::kMaxLength)) {
      failure = SETTING_DEFAULTED;
    } else {
      value->Clear();
      const Status reserved = value->Reserve(static_cast<int>(chars));
      if (Failed(reserved)) {
        failure = reserved == E_OUTOFMEMORY ? E_OUTOFMEMORY : SETTING_DEFAULTED;
      } else if (chars > 0) {
        char16_t* text = value->MutableText();
        std::fill(text, text + chars, u'\0');
        std::uint32_t got = chars * 2;
        error = registry_.QueryValue(key.Handle(), name, &type, text, &got);
        if (error == ERROR_SUCCESS && type != REG_SZ) error = ERROR_DATATYPE_MISMATCH;
        if (error == ERROR_SUCCESS) {
          // Read whole and cut at the first NUL; a value without a terminator keeps every
          // character (the string's own terminator follows it).
          const std::uint32_t read = (got + 1) / 2;
          std::uint32_t length = 0;
          while (length < read && text[length] != 0) ++length;
          value->SetLength(static_cast<int>(length));
          return S_OK;
        }
      } else {
        value->SetLength(0);
        return S_OK;
      }
    }
  }
  const Status copied = value->Assign(defaultText);
  if (Failed(copied)) return copied;
  if (failure == E_OUTOFMEMORY) return failure;
  if (failure == S_OK && error == ERROR_FILE_NOT_FOUND) return E_FILE_NOT_FOUND;
  return SETTING_DEFAULTED;
}

Status SettingsStore::GetStringDefaultEmpty(const SettingsKey& key, std::uint16_t nameId,
                                            CountedString* value) {
  if (value == nullptr) return E_INVALIDARG;
  LT_NAME(name, nameId);
  const Status status = GetString(key, name.View(), u"", value);
  if (status != E_FILE_NOT_FOUND) return status;
  LT_TRY(SetString(key, name.View(), std::u16string_view(u"")));
  return S_FALSE;
}

Status SettingsStore::ReadBinary(const SettingsKey& key, std::uint16_t nameId, std::uint8_t* buffer,
                                 std::uint32_t* size, std::vector<std::uint8_t>* data) {
  LT_NAME(name, nameId);
  std::uint32_t type = REG_NONE;
  std::uint32_t stored = 0;
  RegistryError error = registry_.QueryValue(key.Handle(), name.View(), &type, nullptr, &stored);
  if (error == ERROR_SUCCESS && type != REG_BINARY) error = ERROR_DATATYPE_MISMATCH;
  LT_TRY(StatusFromRegistryError(error));
  std::uint8_t* target = buffer;
  if (data != nullptr) {
    try {
      data->assign(stored, 0);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    target = data->data();
  } else if (*size < stored) {
    return E_BUFFER_TOO_SMALL;
  }
  std::uint32_t got = stored;
  error =
      registry_.QueryValue(key.Handle(), name.View(), &type, stored > 0 ? target : nullptr, &got);
  if (error == ERROR_SUCCESS && type != REG_BINARY) error = ERROR_DATATYPE_MISMATCH;
  LT_TRY(StatusFromRegistryError(error));
  if (size != nullptr) *size = got;
  if (data != nullptr) data->resize(got);
  return S_OK;
}

Status SettingsStore::GetBinary(const SettingsKey& key, std::uint16_t nameId, std::uint8_t* buffer,
                                std::uint32_t* size) {
  if (buffer == nullptr || size == nullptr) return E_INVALIDARG;
  return ReadBinary(key, nameId, buffer, size, nullptr);
}

Status SettingsStore::GetBinary(const SettingsKey& key, std::uint16_t nameId,
                                std::vector<std::uint8_t>* data) {
  if (data == nullptr) return E_INVALIDARG;
  return ReadBinary(key, nameId, nullptr, nullptr, data);
}

// --- Typed writes
// ---------------------------------------------------------------------------------

Status SettingsStore::SetRaw(const SettingsKey& key, std::u16string_view name, std::uint32_t type,
                             const void* data, std::uint32_t size) {
  return StatusFromRegistryError(registry_.SetValue(key.Handle(), name, type, data, size));
}

Status SettingsStore::SetDword(const SettingsKey& key, std::uint16_t nameId, std::uint32_t value) {
  LT_NAME(name, nameId);
  return SetDword(key, name.View(), value);
}

Status SettingsStore::SetDword(const SettingsKey& key, std::u16string_view name,
                               std::uint32_t value) {
  std::uint8_t bytes[4];
  std::memcpy(bytes, &value, 4);
  return SetRaw(key, name, REG_DWORD, bytes, 4);
}

Status SettingsStore::SetBool(const SettingsKey& key, std::uint16_t nameId, std::uint32_t value) {
  return SetDword(key, nameId, value != 0 ? 1u : 0u);
}

Status SettingsStore::SetString(const SettingsKey& key, std::uint16_t nameId,
                                const CountedString* text) {
  LT_NAME(name, nameId);
  return SetString(key, name.View(), text);
}

Status SettingsStore::SetString(const SettingsKey& key, std::u16string_view name,
                                const CountedString* text) {
  if (text == nullptr) return SetRaw(key, name, REG_SZ, nullptr, 0);
  return SetString(key, name, text->View());
}

Status SettingsStore::SetString(const SettingsKey& key, std::u16string_view name,
                                std::u16string_view text) {
  // The text and its terminating NUL, as little-endian 16-bit units.
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize((text.size() + 1) * 2);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return SetRaw(key, name, REG_SZ, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

Status SettingsStore::SetBinary(const SettingsKey& key, std::uint16_t nameId,
                                const std::uint8_t* value8) {
  LT_NAME(name, nameId);
  return SetRaw(key, name.View(), REG_BINARY, value8, value8 != nullptr ? 8 : 0);
}

}  // namespace lumatag
