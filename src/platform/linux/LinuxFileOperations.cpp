#include "platform/linux/LinuxFileOperations.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <string>

#include "platform/linux/FileErrors.h"
#include "platform/linux/FolderReadAhead.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/UniqueFd.h"

namespace lumatag {

namespace {

FileTime ToFileTime(const struct statx_timestamp& t) {
  return FileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

// The type and details of `name` in the folder `folder`. A symbolic link is taken as what it
// points to, like a shortcut-free folder view. False for a name that has gone since it was listed,
// and for anything but a folder or a regular file: a FIFO, device or socket (or a link to one) is
// never a photo, and opening one could wait for ever.
bool StatEntry(int folder, const char* name, struct statx* sx) {
  constexpr unsigned kWanted = STATX_TYPE | STATX_MTIME | STATX_BTIME | STATX_SIZE;
  if (statx(folder, name, AT_SYMLINK_NOFOLLOW, kWanted, sx) != 0) return false;
  if (S_ISLNK(sx->stx_mode)) {
    struct statx target {};
    if (statx(folder, name, 0, kWanted, &target) != 0) return false;
    *sx = target;
  }
  return S_ISDIR(sx->stx_mode) || S_ISREG(sx->stx_mode);
}

void FillDetails(const struct statx& sx, FolderEntry* entry) {
  entry->folder = S_ISDIR(sx.stx_mode);
  entry->detailsKnown = true;
  entry->lastWriteTime = ToFileTime(sx.stx_mtime);
  entry->creationTime =
      (sx.stx_mask & STATX_BTIME) != 0 ? ToFileTime(sx.stx_btime) : entry->lastWriteTime;
  entry->size = sx.stx_size;
}

class PosixFolderListing final : public FolderListing {
 public:
  // With `namesOnly`, an entry that the folder itself says is a regular file or a folder comes
  // without its times and size: no request per file.
  PosixFolderListing(DIR* dir, bool namesOnly)
      : dir_(dir), namesOnly_(namesOnly), readAhead_(dirfd(dir)) {}
  ~PosixFolderListing() override {
    // The read-ahead's threads stop before the folder descriptor they read through closes.
    readAhead_.Stop();
    closedir(dir_);
  }

  Status Next(FolderEntry* entry) override {
    const bool ahead = readAhead_.Step();
    for (;;) {
      Name name;
      const Status listed = NextName(ahead, &name);
      if (listed != S_OK) return listed;
      if (name.bytes == "." || name.bytes == "..") continue;
      if (namesOnly_ && (name.type == DT_REG || name.type == DT_DIR)) {
        entry->folder = name.type == DT_DIR;
        entry->detailsKnown = false;
        entry->creationTime = entry->lastWriteTime = 0;
        entry->size = 0;
      } else {
        struct statx sx {};
        if (!StatEntry(dirfd(dir_), name.bytes.c_str(), &sx)) continue;
        FillDetails(sx, entry);
      }
      entry->name = FromNativePath(name.bytes);
      entry->nativeName = std::move(name.bytes);
      return S_OK;
    }
  }

  void SetReaders(int readers) override { readAhead_.SetReaders(readers); }

  Status Details(FolderEntry* entry) override {
    if (entry->detailsKnown) return S_OK;
    const std::string native =
        entry->nativeName.empty() ? ToNativePath(entry->name) : entry->nativeName;
    struct statx sx {};
    if (!StatEntry(dirfd(dir_), native.c_str(), &sx)) return E_FILE_NOT_FOUND;
    FillDetails(sx, entry);
    return S_OK;
  }

 private:
  struct Name {
    std::string bytes;
    unsigned char type = DT_UNKNOWN;
  };

  // The next name of the folder. While reading ahead, names are listed up to kDistance ahead of
  // the one returned and each file among them is handed to the read-ahead; a listing failure
  // comes after the names listed before it, as it would have.
  Status NextName(bool ahead, Name* name) {
    while (ahead && !ended_ && pending_.size() < FolderReadAhead::kDistance) {
      errno = 0;
      const dirent* d = readdir(dir_);
      if (d == nullptr) {
        ended_ = true;
        endError_ = errno;
        break;
      }
      pending_.push_back({d->d_name, d->d_type});
      if (d->d_type == DT_REG || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
        readAhead_.Add(d->d_name);
      }
    }
    if (!pending_.empty()) {
      *name = std::move(pending_.front());
      pending_.pop_front();
      return S_OK;
    }
    if (ended_) return endError_ == 0 ? E_NO_MORE_FILES : StatusFromFileError(endError_);
    errno = 0;
    const dirent* d = readdir(dir_);
    if (d == nullptr) return errno == 0 ? E_NO_MORE_FILES : StatusFromFileError(errno);
    name->bytes.assign(d->d_name);
    name->type = d->d_type;
    return S_OK;
  }

  DIR* dir_;
  const bool namesOnly_;
  FolderReadAhead readAhead_;
  std::deque<Name> pending_;
  bool ended_ = false;
  int endError_ = 0;
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

// The user's data folder ($XDG_DATA_HOME, else ~/.local/share), created with its parents.
Status EnsureDataFolder(std::string* folder) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    *folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return E_PATH_NOT_FOUND;
    *folder = std::string(home) + "/.local/share";
  }
  for (std::size_t at = 1; at <= folder->size(); ++at) {
    if (at == folder->size() || (*folder)[at] == '/') {
      const std::string part = folder->substr(0, at);
      if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return StatusFromFileError(errno);
    }
  }
  return S_OK;
}

// A folder of a trash: made when missing (private to the user), and never a link.
Status EnsureTrashFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return StatusFromFileError(errno);
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) return StatusFromFileError(errno);
  return S_ISDIR(st.st_mode) ? S_OK : E_ACCESS_DENIED;
}

std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The top folder of the file system that holds `path` (absolute): the highest folder above it on
// the same device.
std::string TopFolder(const std::string& path, dev_t device) {
  std::string top = ParentFolder(path);
  while (top != "/") {
    const std::string up = ParentFolder(top);
    struct stat st {};
    if (stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
    top = up;
  }
  return top;
}

// The trash for a file on `device` (freedesktop.org trash): the user's own trash when it lies on
// that device, else $top/.Trash/$uid (when $top/.Trash is a sticky folder, not a link) or
// $top/.Trash-$uid. Files never move between devices: without a trash there, nothing happens.
Status FindTrash(const std::string& path, dev_t device, std::string* trash) {
  std::string data;
  LT_TRY(EnsureDataFolder(&data));
  const std::string home = data + "/Trash";
  struct stat st {};
  if (stat(data.c_str(), &st) == 0 && st.st_dev == device) {
    *trash = home;
  } else {
    const std::string top = TopFolder(path, device);
    const std::string base = top == "/" ? std::string() : top;
    const std::string uid = std::to_string(getuid());
    const std::string shared = base + "/.Trash";
    struct stat sh {};
    if (lstat(shared.c_str(), &sh) == 0 && S_ISDIR(sh.st_mode) && (sh.st_mode & S_ISVTX) != 0 &&
        Succeeded(EnsureTrashFolder(shared + "/" + uid))) {
      *trash = shared + "/" + uid;
    } else {
      *trash = base + "/.Trash-" + uid;
    }
  }
  LT_TRY(EnsureTrashFolder(*trash));
  LT_TRY(EnsureTrashFolder(*trash + "/files"));
  return EnsureTrashFolder(*trash + "/info");
}

// A path as the trash info file keeps it: bytes outside the URL's unreserved set as %XX.
std::string EscapeTrashPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
        b == '_' || b == '.' || b == '~' || b == '/') {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
    }
  }
  return out;
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

// Moves a file into the trash: first its info file, created exclusively under a free name (the
// name itself, then "name.2", "name.3", ...), then the file under the same name. Any failure but a
// taken name ends the attempt with the file where it was.
Status MoveToTrash(const std::string& source) {
  struct stat st {};
  if (lstat(source.c_str(), &st) != 0) return StatusFromFileError(errno);
  std::string absolute = source;
  if (absolute.empty() || absolute[0] != '/') {
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr) return StatusFromFileError(errno);
    absolute = std::string(cwd) + "/" + absolute;
    std::free(cwd);
  }
  std::string trash;
  LT_TRY(FindTrash(absolute, st.st_dev, &trash));

  std::string name = absolute.substr(absolute.find_last_of('/') + 1);
  // Room for ".trashinfo" and a number within the file system's 255 bytes of a name.
  if (name.size() > 200) name.resize(200);
  char when[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string info =
      "[Trash Info]\nPath=" + EscapeTrashPath(absolute) + "\nDeletionDate=" + when + "\n";

  constexpr int kAttempts = 10000;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    const std::string candidate = attempt == 1 ? name : name + "." + std::to_string(attempt);
    const std::string infoPath = trash + "/info/" + candidate + ".trashinfo";
    const int fd =
        open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return StatusFromFileError(errno);
    }
    const bool written = WriteAll(fd, info) && fsync(fd) == 0;
    if (close(fd) != 0 || !written) {
      const int error = errno;
      unlink(infoPath.c_str());
      return StatusFromFileError(error);
    }
    const std::string target = trash + "/files/" + candidate;
    const Status moved = RenameNoReplace(source, target);
    if (Succeeded(moved)) return S_OK;
    unlink(infoPath.c_str());
    if (moved != E_FILE_EXISTS) return moved;
  }
  return E_FAIL;
}

}  // namespace

namespace {

Status OpenPosixListing(std::u16string_view folder, bool namesOnly,
                        std::unique_ptr<FolderListing>* listing) {
  const std::string path = folder.empty() ? std::string(".") : ToNativePath(folder);
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) {
    return errno == ENOENT || errno == ENOTDIR ? E_PATH_NOT_FOUND : StatusFromFileError(errno);
  }
  *listing = std::make_unique<PosixFolderListing>(dir, namesOnly);
  return S_OK;
}

}  // namespace

Status LinuxFileOperations::OpenListing(std::u16string_view folder,
                                        std::unique_ptr<FolderListing>* listing) {
  return OpenPosixListing(folder, false, listing);
}

Status LinuxFileOperations::OpenNameListing(std::u16string_view folder,
                                            std::unique_ptr<FolderListing>* listing) {
  return OpenPosixListing(folder, true, listing);
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
  // The name's own bytes, valid UTF-8 or not: the file recycled is the file listed.
  const std::string source = ToNativePath(path);
  struct stat st {};
  if (lstat(source.c_str(), &st) != 0) {
    return errno == ENOENT ? E_FILE_NOT_FOUND : StatusFromFileError(errno);
  }
  return MoveToTrash(source);
}

}  // namespace lumatag
