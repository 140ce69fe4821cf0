#include "platform/linux/LinuxFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "platform/linux/FileErrors.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/UniqueFd.h"

namespace lumatag {

namespace {

class LinuxFolderLock final : public FolderLock {
 public:
  explicit LinuxFolderLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;  // closing it releases the lock
};

}  // namespace

Status LinuxFolderLocker::TryLock(std::u16string_view folder, std::unique_ptr<FolderLock>* lock) {
  const std::string path = folder.empty() ? std::string(".") : ToNativePath(folder);
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) return StatusFromFileError(errno);
  while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return E_FOLDER_BUSY;
    return StatusFromFileError(errno);
  }
  *lock = std::make_unique<LinuxFolderLock>(std::move(fd));
  return S_OK;
}

}  // namespace lumatag
