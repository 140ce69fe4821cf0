#include "platform/linux/LinuxJournalStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/linux/FileErrors.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/XdgFolders.h"

namespace lumatag {

namespace {

// Only plain names the journal itself makes: no separators, no "." or "..".
bool PlainName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

Status WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return StatusFromFileError(errno);
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return S_OK;
}

}  // namespace

LinuxJournalStore::LinuxJournalStore(std::string folder) : folder_(std::move(folder)) {}

std::string LinuxJournalStore::DefaultFolder() {
  return XdgBaseFolder("XDG_STATE_HOME", "/.local/state") + "/Lumatag/journal";
}

// Walks down to the folder one component at a time, creating what is missing (0700) and following
// no link on the way, so a link planted anywhere in the path cannot redirect the journal.
Status LinuxJournalStore::Open() {
  if (dir_.Valid()) return S_OK;
  if (folder_.empty()) return E_INVALIDARG;
  UniqueFd at(::open(folder_[0] == '/' ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!at.Valid()) return StatusFromFileError(errno);
  std::size_t pos = 0;
  while (pos < folder_.size()) {
    std::size_t end = folder_.find('/', pos);
    if (end == std::string::npos) end = folder_.size();
    const std::string part = folder_.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (mkdirat(at.Get(), part.c_str(), 0700) != 0 && errno != EEXIST) {
      return StatusFromFileError(errno);
    }
    UniqueFd next(openat(at.Get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.Valid()) return errno == ELOOP ? E_ACCESS_DENIED : StatusFromFileError(errno);
    at = std::move(next);
  }
  // The journal names the user's files: only its owner may read it.
  struct stat st {};
  if (fstat(at.Get(), &st) != 0) return StatusFromFileError(errno);
  if (st.st_uid != geteuid()) return E_ACCESS_DENIED;
  if ((st.st_mode & 077) != 0 && fchmod(at.Get(), 0700) != 0) return StatusFromFileError(errno);
  dir_ = std::move(at);
  return S_OK;
}

Status LinuxJournalStore::Identify(std::u16string_view path, FileIdentity* identity) {
  struct stat st {};
  if (::lstat(ToNativePath(path).c_str(), &st) != 0) return StatusFromFileError(errno);
  identity->device = st.st_dev;
  identity->inode = st.st_ino;
  identity->size = static_cast<std::uint64_t>(st.st_size);
  identity->modified =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  return S_OK;
}

Status LinuxJournalStore::List(std::vector<std::string>* names) {
  names->clear();
  if (const Status s = Open(); Failed(s)) return s;
  const int fd = openat(dir_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return StatusFromFileError(errno);
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return StatusFromFileError(errno);
  }
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (PlainName(name)) names->emplace_back(name);
  }
  closedir(dir);
  return S_OK;
}

Status LinuxJournalStore::Read(std::string_view name, std::string* content) {
  content->clear();
  if (!PlainName(name)) return E_INVALIDARG;
  if (const Status s = Open(); Failed(s)) return s;
  UniqueFd fd(openat(dir_.Get(), std::string(name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.Valid()) return StatusFromFileError(errno);
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return StatusFromFileError(errno);
    }
    if (n == 0) break;
    content->append(buffer, static_cast<std::size_t>(n));
  }
  return S_OK;
}

Status LinuxJournalStore::Create(std::string_view name, std::string_view data) {
  if (!PlainName(name)) return E_INVALIDARG;
  if (const Status s = Open(); Failed(s)) return s;
  UniqueFd fd(openat(dir_.Get(), std::string(name).c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC, 0600));
  if (!fd.Valid()) return StatusFromFileError(errno);
  if (const Status s = WriteAll(fd.Get(), data); Failed(s)) return s;
  if (fdatasync(fd.Get()) != 0) return StatusFromFileError(errno);
  // The new name itself must survive a power cut too.
  fsync(dir_.Get());
  appendName_ = std::string(name);
  appendFd_ = std::move(fd);
  return S_OK;
}

Status LinuxJournalStore::Append(std::string_view name, std::string_view data, bool durable) {
  if (!PlainName(name)) return E_INVALIDARG;
  if (const Status s = Open(); Failed(s)) return s;
  if (!appendFd_.Valid() || appendName_ != name) {
    UniqueFd fd(openat(dir_.Get(), std::string(name).c_str(),
                       O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid()) return StatusFromFileError(errno);
    appendName_ = std::string(name);
    appendFd_ = std::move(fd);
  }
  if (const Status s = WriteAll(appendFd_.Get(), data); Failed(s)) return s;
  if (durable && fdatasync(appendFd_.Get()) != 0) return StatusFromFileError(errno);
  return S_OK;
}

Status LinuxJournalStore::Remove(std::string_view name) {
  if (!PlainName(name)) return E_INVALIDARG;
  if (const Status s = Open(); Failed(s)) return s;
  if (appendName_ == name) {
    appendFd_.Reset();
    appendName_.clear();
  }
  if (unlinkat(dir_.Get(), std::string(name).c_str(), 0) != 0) return StatusFromFileError(errno);
  return S_OK;
}

}  // namespace lumatag
