#include "platform/linux/HiveRegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "foundation/CountedString.h"
#include "platform/linux/HiveFormat.h"
#include "platform/linux/XdgFolders.h"

namespace lumatag {

namespace {

// A hive larger than this is not a settings file; it is set aside like a damaged one.
constexpr off_t kMaxHiveBytes = 64 << 20;

RegistryError ErrorFromErrno(int error, RegistryError fallback) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case ENOMEM:
      return ERROR_OUTOFMEMORY;
    default:
      return fallback;
  }
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates the folder and its missing parents, private to the user.
bool MakeFolders(const std::string& folder) {
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::string parent = ParentOf(folder);
  if (parent != folder && !MakeFolders(parent)) return false;
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Writes a new file that must not exist yet, and makes it durable. The file is created here and
// nowhere else: an existing name, a symbolic link among them, makes it fail (EEXIST).
bool WriteNewFile(const std::string& path, const std::string& text) {
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.Valid()) return false;
  const bool ok = WriteAll(fd.Get(), text) && fsync(fd.Get()) == 0;
  return fd.Close() && ok;
}

bool SyncFolder(const std::string& folder) {
  const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.Valid() && fsync(fd.Get()) == 0;
}

}  // namespace

HiveRegistryStore::HiveRegistryStore(std::string path)
    : path_(std::move(path)), lockPath_(path_ + ".lock") {}

HiveRegistryStore::~HiveRegistryStore() = default;

std::string HiveRegistryStore::DefaultPath() {
  return XdgBaseFolder("XDG_CONFIG_HOME", "/.config") + "/Lumatag/settings.reg";
}

RegistryError HiveRegistryStore::Lock() {
  if (lockFd_.Valid()) return ERROR_SUCCESS;
  if (!MakeFolders(ParentOf(path_))) return ErrorFromErrno(errno, ERROR_CANTWRITE);
  // A link planted at the lock's name is not followed (no file is created where it points).
  UniqueFd fd(open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.Valid()) return ErrorFromErrno(errno, ERROR_CANTWRITE);
  while (flock(fd.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ERROR_CANTWRITE;
  }
  lockFd_ = std::move(fd);
  return ERROR_SUCCESS;
}

void HiveRegistryStore::Unlock() {
  if (!lockFd_.Valid()) return;
  flock(lockFd_.Get(), LOCK_UN);
  lockFd_.Reset();
}

RegistryError HiveRegistryStore::Load(bool force, bool locked) {
  struct stat info;
  if (!force && loaded_ && stat(path_.c_str(), &info) == 0 && stamp_.exists &&
      stamp_.device == info.st_dev && stamp_.inode == info.st_ino && stamp_.size == info.st_size &&
      stamp_.modifiedNs == info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec &&
      stamp_.changedNs == info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec) {
    return ERROR_SUCCESS;
  }
  // Never blocks: a FIFO or device planted at the name is not a settings file.
  const UniqueFd fd(open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) {
    if (errno != ENOENT) {
      loaded_ = false;
      return ErrorFromErrno(errno, ERROR_CANTREAD);
    }
    if (!loaded_ || stamp_.exists || force) ReplaceRoot(std::make_unique<RegistryNode>());
    stamp_ = Stamp{};
    loaded_ = true;
    return ERROR_SUCCESS;
  }
  Stamp stamp;
  if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    loaded_ = false;
    return ERROR_CANTREAD;
  }
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modifiedNs = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
  stamp.changedNs = info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec;
  if (!force && loaded_ && stamp == stamp_) {
    return ERROR_SUCCESS;
  }
  std::string text;
  bool tooLarge = info.st_size > kMaxHiveBytes;
  if (!tooLarge) {
    char buffer[65536];
    while (true) {
      const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        loaded_ = false;
        return ERROR_CANTREAD;
      }
      if (n == 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
      if (static_cast<off_t>(text.size()) > kMaxHiveBytes) {
        tooLarge = true;
        break;
      }
    }
  }

  HiveParseReport report;
  std::unique_ptr<RegistryNode> root =
      tooLarge ? std::make_unique<RegistryNode>() : ParseHive(text, &report);
  if (tooLarge) report.badLines = 1;
  if (report.Damaged() && !locked) {
    // Set the file aside under the lock, after reading it once more: another program may have
    // replaced it meanwhile.
    if (Lock() == ERROR_SUCCESS) {
      const RegistryError error = Load(true, true);
      Unlock();
      return error;
    }
  }
  ReplaceRoot(std::move(root));
  stamp_ = stamp;
  loaded_ = true;
  if (report.Damaged() && locked) {
    // Keep the unreadable file as it was, then write what could be read in its place.
    std::string backup;
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &local);
    bool kept = false;
    for (int attempt = 1; attempt <= 100 && !kept; ++attempt) {
      backup = path_ + ".broken-" + when + (attempt > 1 ? "-" + std::to_string(attempt) : "");
      // A second name for the file itself keeps it byte for byte; where the file system has no
      // hard links, a copy of what was read does.
      kept = link(path_.c_str(), backup.c_str()) == 0;
      if (!kept && errno != EEXIST && !tooLarge) kept = WriteNewFile(backup, text);
      if (!kept && errno != EEXIST) break;
    }
    if (!kept) return ERROR_CANTWRITE;
    SyncFolder(ParentOf(path_));
    recovered_ = backup;
    return Write();
  }
  return ERROR_SUCCESS;
}

RegistryError HiveRegistryStore::Write() {
  // A settings file that is a symbolic link (kept in a dotfiles folder, say) stays one: the new
  // file replaces the file it points to. A link that leads nowhere is refused rather than replaced
  // by a plain file.
  std::string target = path_;
  struct stat linkInfo;
  if (lstat(path_.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    char* resolved = realpath(path_.c_str(), nullptr);
    if (resolved == nullptr) {
      loaded_ = false;
      return ERROR_ACCESS_DENIED;
    }
    target = resolved;
    std::free(resolved);
    struct stat targetInfo;
    if (stat(target.c_str(), &targetInfo) != 0 || !S_ISREG(targetInfo.st_mode)) {
      loaded_ = false;
      return ERROR_ACCESS_DENIED;
    }
  }
  const std::string folder = ParentOf(target);
  const std::string temporary = target + ".tmp";
  const std::string text = FormatHive(Root());
  bool written = MakeFolders(folder) && WriteNewFile(temporary, text);
  if (!written && errno == EEXIST) {
    // Left by a writer that died, or planted: only the writer holding the lock may own this name,
    // and that is this one. The name itself goes (never what a link there points to).
    written = unlink(temporary.c_str()) == 0 && WriteNewFile(temporary, text);
  }
  if (!written) {
    const RegistryError error = ErrorFromErrno(errno, ERROR_CANTWRITE);
    if (errno != EEXIST) unlink(temporary.c_str());
    loaded_ = false;  // the tree holds changes the file does not: read the file again
    return error;
  }
  if (rename(temporary.c_str(), target.c_str()) != 0) {
    const RegistryError error = ErrorFromErrno(errno, ERROR_CANTWRITE);
    unlink(temporary.c_str());
    loaded_ = false;
    return error;
  }
  SyncFolder(folder);
  struct stat info;
  if (stat(path_.c_str(), &info) == 0) {
    stamp_.exists = true;
    stamp_.device = info.st_dev;
    stamp_.inode = info.st_ino;
    stamp_.size = info.st_size;
    stamp_.modifiedNs = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    stamp_.changedNs = info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec;
  } else {
    loaded_ = false;
  }
  return ERROR_SUCCESS;
}

RegistryError HiveRegistryStore::BeforeRead() {
  if (depth_ > 0 && batchError_ == ERROR_SUCCESS) return ERROR_SUCCESS;
  return Load(false, lockFd_.Valid());
}

RegistryError HiveRegistryStore::BeforeChange() {
  if (depth_ > 0) return batchError_;
  RegistryError error = Lock();
  if (error != ERROR_SUCCESS) return error;
  error = Load(true, true);
  if (error != ERROR_SUCCESS) Unlock();
  return error;
}

RegistryError HiveRegistryStore::AfterChange(bool changed) {
  if (depth_ > 0) {
    dirty_ = dirty_ || changed;
    return ERROR_SUCCESS;
  }
  const RegistryError error = changed ? Write() : ERROR_SUCCESS;
  Unlock();
  return error;
}

void HiveRegistryStore::BeginUpdate() {
  if (depth_++ > 0) return;
  dirty_ = false;
  batchError_ = Lock();
  if (batchError_ == ERROR_SUCCESS) {
    batchError_ = Load(true, true);
    if (batchError_ != ERROR_SUCCESS) Unlock();
  }
}

RegistryError HiveRegistryStore::EndUpdate() {
  if (depth_ == 0) return ERROR_INVALID_PARAMETER;
  if (--depth_ > 0) return ERROR_SUCCESS;
  RegistryError error = batchError_;
  if (error == ERROR_SUCCESS && dirty_) error = Write();
  Unlock();
  batchError_ = ERROR_SUCCESS;
  dirty_ = false;
  return error;
}

bool HiveRegistryStore::TakeRecoveryNotice(std::u16string* backupName) {
  if (recovered_.empty()) return false;
  if (backupName != nullptr) *backupName = Utf8ToUtf16(recovered_);
  recovered_.clear();
  return true;
}

}  // namespace lumatag
