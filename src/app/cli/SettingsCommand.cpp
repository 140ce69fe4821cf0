// lumatag-cli settings: the program's settings key tree as stored in the settings hive. Each key
// path on a line of its own, then one line per value: two spaces, the name ("(Default)" for the
// unnamed value), a tab, the type, a tab and the data (REG_DWORD as "0x00000001 (1)", texts as
// they read, other data as hex bytes). Subkeys follow their parent, in order. Control characters
// in names and texts show as \n, \t or \uXXXX.
#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliCommon.h"
#include "platform/linux/HiveRegistryStore.h"
#include "ports/SettingsRecords.h"

namespace lumatag::cli {

namespace {

// UTF-8 with control characters shown as \n, \t or \uXXXX, so that every entry stays on its line.
std::string Printable(std::u16string_view text) {
  std::u16string shown;
  for (char16_t c : text) {
    if (c == u'\n') {
      shown += u"\\n";
    } else if (c == u'\t') {
      shown += u"\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      for (const char* p = code; *p != 0; ++p) shown += static_cast<char16_t>(*p);
    } else {
      shown += c;
    }
  }
  return Utf16ToUtf8(shown);
}

std::string TypeName(std::uint32_t type) {
  switch (type) {
    case REG_NONE:
      return "REG_NONE";
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    case REG_QWORD:
      return "REG_QWORD";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "0x%08x", type);
      return text;
    }
  }
}

std::string DataText(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  if (type == REG_DWORD && data.size() == 4) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    char text[32];
    std::snprintf(text, sizeof text, "0x%08x (%u)", value, value);
    return text;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    // The text up to its first NUL, as the program reads it.
    std::u16string text;
    for (std::size_t i = 0; i < data.size(); i += 2) {
      const char16_t c =
          static_cast<char16_t>(data[i] | (i + 1 < data.size() ? data[i + 1] << 8 : 0));
      if (c == 0) break;
      text += c;
    }
    return Printable(text);
  }
  std::string text;
  for (std::size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", data[i]);
    text += byte;
  }
  return text;
}

int PrintKey(RegistryStore& registry, RegistryKey key, const std::string& path) {
  std::printf("%s\n", path.c_str());
  RegistryKeyInfo info;
  if (registry.QueryInfoKey(key, &info) != ERROR_SUCCESS) return 1;
  std::vector<char16_t> name(std::max(info.longestValueName, info.longestSubkeyName) + 1);
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t chars = static_cast<std::uint32_t>(name.size());
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    RegistryError error =
        registry.EnumValue(key, index, name.data(), &chars, &type, nullptr, &size);
    if (error == ERROR_NO_MORE_ITEMS) break;
    if (error != ERROR_SUCCESS) return 1;
    const std::u16string valueName(name.data(), chars);
    std::vector<std::uint8_t> data(size);
    error = registry.QueryValue(key, valueName, &type, data.data(), &size);
    if (error != ERROR_SUCCESS) return 1;
    data.resize(size);
    std::printf("  %s\t%s\t%s\n", valueName.empty() ? "(Default)" : Printable(valueName).c_str(),
                TypeName(type).c_str(), DataText(type, data).c_str());
  }
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t chars = static_cast<std::uint32_t>(name.size());
    const RegistryError error = registry.EnumKey(key, index, name.data(), &chars);
    if (error == ERROR_NO_MORE_ITEMS) break;
    if (error != ERROR_SUCCESS) return 1;
    const std::u16string subkeyName(name.data(), chars);
    RegistryKey subkey = kNoRegistryKey;
    if (registry.OpenKey(key, subkeyName, &subkey) != ERROR_SUCCESS) return 1;
    const int result = PrintKey(registry, subkey, path + "\\" + Printable(subkeyName));
    registry.CloseKey(subkey);
    if (result != 0) return result;
  }
  return 0;
}

int RunSettings(CliContext& context, const std::vector<std::string>& args) {
  if (!ArgumentReader({}).Read(args, 0, 0)) return UsageError("settings");
  HiveRegistryStore registry(HiveRegistryStore::DefaultPath());
  SettingsStore store(registry, *context.app.programModule);
  SettingsKey key;
  const Status opened = store.OpenSettingsKey(IDS_REG_KEY_PATH, &key);
  ReportSettingsRecovery(store, context.app);
  if (opened == E_FILE_NOT_FOUND) return 0;  // nothing saved yet
  if (Failed(opened)) {
    std::fprintf(ErrorOutput(), "lumatag-cli: the settings cannot be read (%s)\n",
                 StatusText(opened).c_str());
    return 1;
  }
  MessageString path;
  // The key path is a built-in text; the key itself opened above.
  IgnoreStatus(store.LoadName(IDS_REG_KEY_PATH, path));
  return PrintKey(registry, key.Handle(), "HKEY_CURRENT_USER\\" + Printable(path.View()));
}

}  // namespace

LT_CLI_COMMAND(settings, "settings", "", RunSettings);

}  // namespace lumatag::cli
