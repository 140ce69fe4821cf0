#include "platform/linux/LinuxStandardFolders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/linux/NativePath.h"

namespace lumatag {

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] != '\0' ? CleanAbsolutePath(home) : std::string("/");
}

std::string ConfigFolder(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  return home + "/.config";
}

// The value of `key` in user-dirs.dirs (lines KEY="VALUE"), quotes removed and a leading $HOME
// replaced; empty when the file or the key is missing.
std::string UserDir(const std::string& key, const std::string& home) {
  std::ifstream file(ConfigFolder(home) + "/user-dirs.dirs");
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
  std::vector<std::string> steps;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string step = path.substr(start, end - start);
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    start = end + 1;
  }
  std::string cleaned;
  for (const std::string& step : steps) cleaned += "/" + step;
  return cleaned.empty() ? "/" : cleaned;
}

Status LinuxStandardFolders::PicturesFolder(std::u16string* folder) {
  const std::string home = HomeFolder();
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
