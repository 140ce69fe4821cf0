#include "platform/linux/LinuxFileOperations.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/FileErrors.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/UniqueFd.h"

namespace lumatag {

namespace {

FileTime ToFileTime(const struct statx_timestamp& t) {
  return FileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

class PosixFolderListing final : public FolderListing {
 public:
  PosixFolderListing(DIR* dir) : dir_(dir) {}
  ~PosixFolderListing() override { closedir(dir_); }

  Status Next(FolderEntry* entry) override {
    for (;;) {
      errno = 0;
      const dirent* d = readdir(dir_);
      if (d == nullptr) return errno == 0 ? E_NO_MORE_FILES : StatusFromFileError(errno);
      const std::string_view name(d->d_name);
      if (name == "." || name == "..") continue;
      struct statx sx {};
      if (statx(dirfd(dir_), d->d_name, AT_SYMLINK_NOFOLLOW,
                STATX_TYPE | STATX_MTIME | STATX_BTIME | STATX_SIZE, &sx) != 0) {
        continue;  // gone since it was listed
      }
      // A symbolic link is listed as what it points to, like a shortcut-free folder view.
      if (S_ISLNK(sx.stx_mode)) {
        struct statx target {};
        if (statx(dirfd(dir_), d->d_name, 0, STATX_TYPE | STATX_MTIME | STATX_BTIME | STATX_SIZE,
                  &target) != 0) {
          continue;
        }
        sx = target;
      }
      entry->name = FromNativePath(name);
      entry->folder = S_ISDIR(sx.stx_mode);
      entry->lastWriteTime = ToFileTime(sx.stx_mtime);
      entry->creationTime =
          (sx.stx_mask & STATX_BTIME) != 0 ? ToFileTime(sx.stx_btime) : entry->lastWriteTime;
      entry->size = sx.stx_size;
      return S_OK;
    }
  }

 private:
  DIR* dir_;
};

// Copies `from` to a new file `to` (which must not exist), then removes `from`: the move between
// file systems. The copy is flushed before the original goes, so a crash leaves at least one
// whole file.
Status CopyThenRemove(const std::string& from, const std::string& to) {
  const UniqueFd in(open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.Valid()) return StatusFromFileError(errno);
  struct stat st {};
  fstat(in.Get(), &st);
  UniqueFd out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
  if (!out.Valid()) return StatusFromFileError(errno);
  char buffer[1 << 16];
  Status status = S_OK;
  for (;;) {
    const ssize_t n = read(in.Get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      status = StatusFromFileError(errno);
      break;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = write(out.Get(), buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        status = StatusFromFileError(errno);
        break;
      }
      done += w;
    }
    if (Failed(status)) break;
  }
  if (Succeeded(status) && fsync(out.Get()) != 0) status = StatusFromFileError(errno);
  if (!out.Close() && Succeeded(status)) status = StatusFromFileError(errno);
  if (Failed(status)) {
    unlink(to.c_str());  // the partial copy is ours; the original is untouched
    return status;
  }
  if (unlink(from.c_str()) != 0) return StatusFromFileError(errno);
  return S_OK;
}

// rename() that never replaces: renameat2 with RENAME_NOREPLACE, or where the file system lacks it,
// a hard link (which fails on an existing name) followed by removing the old name.
Status RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return S_OK;
  const int error = errno;
  if (error != EINVAL && error != ENOSYS && error != ENOTSUP) return StatusFromFileError(error);
  if (link(from.c_str(), to.c_str()) == 0) {
    if (unlink(from.c_str()) == 0) return S_OK;
    const int unlinkError = errno;
    unlink(to.c_str());
    return StatusFromFileError(unlinkError);
  }
  if (errno == EEXIST) return E_FILE_EXISTS;
  // No hard links either (FAT-like file systems): a case-only rename of the same file, or a
  // check just before renaming, the best such a file system allows.
  struct stat a {
  }, b{};
  if (stat(to.c_str(), &b) == 0 &&
      !(stat(from.c_str(), &a) == 0 && a.st_ino == b.st_ino && a.st_dev == b.st_dev)) {
    return E_FILE_EXISTS;
  }
  if (rename(from.c_str(), to.c_str()) != 0) return StatusFromFileError(errno);
  return S_OK;
}

// Creates the user's data folder ($XDG_DATA_HOME, else ~/.local/share) and its parents.
Status EnsureDataFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string folder;
  if (xdg != nullptr && xdg[0] == '/') {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return E_PATH_NOT_FOUND;
    folder = std::string(home) + "/.local/share";
  }
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at == folder.size() || folder[at] == '/') {
      const std::string part = folder.substr(0, at);
      if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return StatusFromFileError(errno);
    }
  }
  return S_OK;
}

}  // namespace

Status LinuxFileOperations::OpenListing(std::u16string_view folder,
                                        std::unique_ptr<FolderListing>* listing) {
  const std::string path = folder.empty() ? std::string(".") : ToNativePath(folder);
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) {
    return errno == ENOENT || errno == ENOTDIR ? E_PATH_NOT_FOUND : StatusFromFileError(errno);
  }
  *listing = std::make_unique<PosixFolderListing>(dir);
  return S_OK;
}

Status LinuxFileOperations::Move(std::u16string_view from, std::u16string_view to,
                                 bool replaceExisting) {
  const std::string source = ToNativePath(from);
  const std::string target = ToNativePath(to);
  if (replaceExisting) {
    if (rename(source.c_str(), target.c_str()) == 0) return S_OK;
    if (errno != EXDEV) return StatusFromFileError(errno);
    // Across file systems: copy beside the target, then replace it in one step.
    const std::string temporary = target + ".lumatag-move";
    LT_TRY(CopyThenRemove(source, temporary));
    if (rename(temporary.c_str(), target.c_str()) != 0) return StatusFromFileError(errno);
    return S_OK;
  }
  const Status status = RenameNoReplace(source, target);
  return status == StatusFromFileError(EXDEV) ? CopyThenRemove(source, target) : status;
}

Status LinuxFileOperations::Recycle(std::u16string_view path) {
  QFile file(QFile::decodeName(QByteArray::fromStdString(ToNativePath(path))));
  if (!file.exists()) return E_FILE_NOT_FOUND;
  // The desktop trash lives in the user's data folder; when that folder does not exist yet, the
  // trash cannot be established there and the file would be set aside elsewhere. Create it first.
  LT_TRY(EnsureDataFolder());
  return file.moveToTrash() ? S_OK : E_FAIL;
}

}  // namespace lumatag
