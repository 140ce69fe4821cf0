#include "platform/linux/XdgFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace lumatag {

std::string UserHomeFolder() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == 0) {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : nullptr;
  }
  return home != nullptr ? home : ".";
}

std::string XdgBaseFolder(const char* variable, const char* underHome) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  return UserHomeFolder() + underHome;
}

}  // namespace lumatag
