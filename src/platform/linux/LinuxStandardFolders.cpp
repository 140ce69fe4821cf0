#include "platform/linux/LinuxStandardFolders.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/NativePath.h"
#include "platform/linux/XdgFolders.h"

namespace lumatag {

namespace {

// The value of `key` in user-dirs.dirs (lines KEY="VALUE"), quotes removed and a leading $HOME
// replaced; empty when the file or the key is missing.
std::string UserDir(const std::string& key, const std::string& home) {
  std::ifstream file(XdgBaseFolder("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs");
  std::string line;
  std::string value;
  const std::string prefix = key + "=";
  while (std::getline(file, line)) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    value = line.substr(prefix.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
  }
  if (value.compare(0, 5, "$HOME") == 0) value.replace(0, 5, home);
  return value;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string CleanAbsolutePath(const std::string& path) {
  std::string cleaned = std::filesystem::path(path).lexically_normal().string();
  if (cleaned.size() > 1 && cleaned.back() == '/') cleaned.pop_back();
  return cleaned;
}

Status LinuxStandardFolders::PicturesFolder(std::u16string* folder) {
  const std::string home = CleanAbsolutePath(UserHomeFolder());
  const std::string configured = UserDir("XDG_PICTURES_DIR", home);
  std::string path;
  if (!configured.empty() && configured.front() == '/' && IsFolder(configured)) {
    path = CleanAbsolutePath(configured);
  } else {
    path = CleanAbsolutePath(home + "/Pictures");
  }
  *folder = FromNativePath(path);
  return folder->empty() ? E_PATH_NOT_FOUND : S_OK;
}

}  // namespace lumatag
