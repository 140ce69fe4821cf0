#include "crash/CrashReportFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace lumatag {

namespace {

Status LastErrno() {
  return StatusFromLastError(errno, E_FAIL);
}

// Creates `path` and its missing parents as folders of mode 0700. Links on the way are the user's
// own arrangement of their home and are followed.
Status MakeFolders(const std::string& path) {
  std::string prefix;
  std::size_t at = 0;
  while (at < path.size()) {
    const std::size_t next = path.find('/', at + 1);
    prefix = path.substr(0, next == std::string::npos ? path.size() : next);
    at = next == std::string::npos ? path.size() : next;
    if (prefix.empty() || prefix == "/") continue;
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return LastErrno();
  }
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return LastErrno();
  return S_ISDIR(info.st_mode) ? S_OK : E_ACCESS_DENIED;
}

// Opens (creating when missing) the folder `name` inside the folder `parent`, without following a
// link in its place; it must be the user's own, and others lose their access to it.
int OpenOwnFolder(int parent, const char* name, Status* status) {
  if (mkdirat(parent, name, 0700) != 0 && errno != EEXIST) {
    *status = LastErrno();
    return -1;
  }
  const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    // A link (ELOOP) or a file (ENOTDIR) in the folder's place.
    *status = errno == ELOOP || errno == ENOTDIR ? E_ACCESS_DENIED : LastErrno();
    return -1;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid() ||
      ((info.st_mode & 077) != 0 && fchmod(fd, info.st_mode & 0700) != 0)) {
    *status = E_ACCESS_DENIED;
    close(fd);
    return -1;
  }
  *status = S_OK;
  return fd;
}

// A duplicate of `fd` as a directory stream, read from its start.
DIR* OpenListing(int fd) {
  const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return nullptr;
  DIR* dir = fdopendir(copy);
  if (dir == nullptr) {
    close(copy);
    return nullptr;
  }
  rewinddir(dir);
  return dir;
}

}  // namespace

Status DefaultStateRoot(std::string* root) {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') {
    *root = state;
    return S_OK;
  }
  const char* home = std::getenv("HOME");
  std::string homeFolder;
  if (home != nullptr && home[0] == '/') {
    homeFolder = home;
  } else {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
      return E_PATH_NOT_FOUND;
    }
    homeFolder = found->pw_dir;
  }
  *root = homeFolder + "/.local/state";
  return S_OK;
}

bool IsReportFileName(const char* name) {
  // Also used by the crash handler: no library calls.
  std::size_t length = 0;
  while (name[length] != '\0') ++length;
  if (length < 4) return false;
  const char* end = name + length - 4;
  const char lower[] = ".dmp";
  for (int i = 0; i < 4; ++i) {
    char c = end[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

CrashReportFolder::CrashReportFolder(CrashReportFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

CrashReportFolder& CrashReportFolder::operator=(CrashReportFolder&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

void CrashReportFolder::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

int CrashReportFolder::Release() {
  return std::exchange(fd_, -1);
}

Status CrashReportFolder::Open(const std::string& stateRoot) {
  Close();
  if (stateRoot.empty() || stateRoot[0] != '/') return E_PATH_NOT_FOUND;
  LT_TRY(MakeFolders(stateRoot));
  const int root = open(stateRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (root < 0) return LastErrno();
  Status status = S_OK;
  const int program = OpenOwnFolder(root, kStateFolderName, &status);
  close(root);
  if (program < 0) return status;
  const int reports = OpenOwnFolder(program, kReportFolderName, &status);
  close(program);
  if (reports < 0) return status;
  fd_ = reports;
  path_ = stateRoot;
  if (path_.back() != '/') path_ += '/';
  path_ += kStateFolderName;
  path_ += '/';
  path_ += kReportFolderName;
  return S_OK;
}

Status CrashReportFolder::FindFirstReport(std::string* name) const {
  if (fd_ < 0) return E_HANDLE;
  DIR* dir = OpenListing(fd_);
  if (dir == nullptr) return LastErrno();
  Status result = E_FILE_NOT_FOUND;
  while (const dirent* entry = readdir(dir)) {
    if (!IsReportFileName(entry->d_name)) continue;
    struct stat info {};
    if (fstatat(fd_, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
      continue;
    }
    *name = entry->d_name;
    result = S_OK;
    break;
  }
  closedir(dir);
  return result;
}

Status CrashReportFolder::TakeMarker(bool* found) const {
  *found = false;
  if (fd_ < 0) return E_HANDLE;
  struct stat info {};
  if (fstatat(fd_, kCrashMarkerName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? S_OK : LastErrno();
  }
  *found = S_ISREG(info.st_mode);
  if (!*found) return S_OK;  // not ours: left alone
  if (unlinkat(fd_, kCrashMarkerName, 0) != 0 && errno != ENOENT) return LastErrno();
  return S_OK;
}

}  // namespace lumatag
