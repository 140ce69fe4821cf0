#include "platform/linux/LocaleFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace lumatag {

std::string ProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

namespace {

bool IsLocaleNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::vector<std::string> LocaleSearchFolders() {
  return LocaleSearchFoldersFor(ProgramFolder());
}

std::vector<std::string> LocaleSearchFoldersFor(const std::string& folder) {
  if (folder.empty()) return {};
  std::vector<std::string> folders{folder, folder + "/../share/lumatag"};
  constexpr std::string_view kHelperFolder = "/libexec/lumatag";
  if (folder.size() > kHelperFolder.size() &&
      std::string_view(folder).substr(folder.size() - kHelperFolder.size()) == kHelperFolder) {
    folders.push_back(folder + "/../../share/lumatag");
  }
  return folders;
}

std::vector<std::string> WantedLocales(const char* lcAll, const char* lcMessages,
                                       const char* lang) {
  const char* chosen = nullptr;
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value != nullptr && value[0] != '\0') {
      chosen = value;
      break;
    }
  }
  if (chosen == nullptr) return {};
  // "de_DE.UTF-8@euro": the name ends at the code set or modifier.
  std::string_view name(chosen);
  name = name.substr(0, name.find_first_of(".@"));
  for (char c : name) {
    // Anything else could reach outside the locale folders ("../x").
    if (!IsLocaleNameCharacter(c)) return {};
  }
  const std::string_view language = name.substr(0, name.find('_'));
  if (language.empty() || name == "C" || name == "POSIX" || language == "en") return {};
  std::vector<std::string> wanted;
  if (language.size() != name.size()) wanted.emplace_back(name);
  wanted.emplace_back(language);
  return wanted;
}

std::vector<std::string> WantedLocalesFromEnvironment() {
  return WantedLocales(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string LoadLocaleStringTable(const std::vector<std::string>& wanted,
                                  const std::vector<std::string>& folders, StringModule* module) {
  for (const std::string& locale : wanted) {
    for (const std::string& folder : folders) {
      StringModule candidate;
      StringTableError error;
      if (Succeeded(candidate.LoadFile(folder + "/" + locale + "/strings.txt", &error))) {
        *module = std::move(candidate);
        return locale;
      }
    }
  }
  return {};
}

}  // namespace lumatag
