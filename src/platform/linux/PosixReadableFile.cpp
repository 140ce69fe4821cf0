// Files for reading over POSIX descriptors. The position is kept here and every read is a pread at
// it, so a seek costs no system call: reading a photo's metadata takes open, a few preads and
// close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string>
#include <utility>

#include "platform/linux/FileErrors.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/PosixReadableFile.h"
#include "platform/linux/UniqueFd.h"

namespace lumatag {

namespace {

// What the file was like when it was opened.
struct OpenedFile {
  FileTime creation = 0;
  FileTime lastWrite = 0;
  std::uint64_t size = 0;
};

class PosixReadableFile final : public ReadableFile {
 public:
  PosixReadableFile(UniqueFd fd, const OpenedFile& opened) : fd_(std::move(fd)), opened_(opened) {}

  Status Read(void* destination, std::uint32_t count, std::uint32_t* read) override {
    *read = 0;
    // Positions are 32-bit: nothing past 4 GiB is read, so the position never wraps to the start.
    const std::uint64_t room =
        std::uint64_t{0x100000000} - std::min<std::uint64_t>(position_, 0x100000000);
    if (count > room) count = static_cast<std::uint32_t>(room);
    if (count == 0) return S_OK;
    ssize_t got;
    do {
      got = ::pread(fd_.Get(), destination, count, static_cast<off_t>(position_));
    } while (got < 0 && errno == EINTR);
    if (got < 0) return StatusFromErrno(errno);
    *read = static_cast<std::uint32_t>(got);
    position_ += static_cast<std::uint64_t>(got);
    return S_OK;
  }

  Status Write(const void* source, std::uint32_t count, std::uint32_t* written) override {
    *written = 0;
    ssize_t put;
    do {
      put = ::pwrite(fd_.Get(), source, count, static_cast<off_t>(position_));
    } while (put < 0 && errno == EINTR);
    if (put < 0) return errno == EBADF ? E_ACCESS_DENIED : StatusFromErrno(errno);
    *written = static_cast<std::uint32_t>(put);
    position_ += static_cast<std::uint64_t>(put);
    return S_OK;
  }

  Status Seek(std::uint32_t offset) override {
    position_ = offset;
    return S_OK;
  }

  Status Size(std::uint32_t* size) override {
    struct stat info;
    if (::fstat(fd_.Get(), &info) != 0) return StatusFromErrno(errno);
    *size = info.st_size > 0xFFFFFFFF ? 0xFFFFFFFFu : static_cast<std::uint32_t>(info.st_size);
    return S_OK;
  }

  Status LastWriteTime(FileTime* time) override {
    struct stat info;
    if (::fstat(fd_.Get(), &info) != 0) return StatusFromErrno(errno);
    *time = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    return S_OK;
  }

  Status LastWriteTimeLocal(SystemTime* fields) override {
    struct stat info;
    if (::fstat(fd_.Get(), &info) != 0) return StatusFromErrno(errno);
    struct tm local;
    const time_t seconds = info.st_mtim.tv_sec;
    if (::localtime_r(&seconds, &local) == nullptr) return E_FAIL;
    fields->year = static_cast<std::uint16_t>(local.tm_year + 1900);
    fields->month = static_cast<std::uint16_t>(local.tm_mon + 1);
    fields->dayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
    fields->day = static_cast<std::uint16_t>(local.tm_mday);
    fields->hour = static_cast<std::uint16_t>(local.tm_hour);
    fields->minute = static_cast<std::uint16_t>(local.tm_min);
    fields->second = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    fields->milliseconds = static_cast<std::uint16_t>(info.st_mtim.tv_nsec / 1'000'000);
    return S_OK;
  }

  Status OpenedDetails(FileTime* creation, FileTime* lastWrite, std::uint64_t* size) override {
    *creation = opened_.creation;
    *lastWrite = opened_.lastWrite;
    *size = opened_.size;
    return S_OK;
  }

 private:
  UniqueFd fd_;
  OpenedFile opened_;
  std::uint64_t position_ = 0;  // up to 4 GiB, never past
};

FileTime ToFileTime(const struct statx_timestamp& t) {
  return FileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

// Opens `name`, relative to the folder descriptor `folder` (or to the current folder with
// AT_FDCWD), for reading. Opening a FIFO or a device could wait for ever (for a writer, for a modem
// line): the file is opened without waiting, and only a regular file is read. The file's times and
// size come with the one request that checks its type.
Status OpenRegularFile(int folder, const char* name, std::unique_ptr<ReadableFile>* file) {
  file->reset();
  int fd;
  do {
    fd = ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return StatusFromFileError(errno);
  UniqueFd owned(fd);
  struct statx info {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MTIME | STATX_BTIME | STATX_SIZE, &info) !=
          0 ||
      !S_ISREG(info.stx_mode)) {
    return E_ACCESS_DENIED;
  }
  // Reads wait as usual again. Of the flags F_SETFL sets (append, async, direct, no-atime,
  // non-blocking) the file was opened with none but O_NONBLOCK, so clearing them all clears it
  // alone, without asking for the flags first.
  ::fcntl(fd, F_SETFL, 0);
  OpenedFile opened;
  opened.lastWrite = ToFileTime(info.stx_mtime);
  opened.creation =
      (info.stx_mask & STATX_BTIME) != 0 ? ToFileTime(info.stx_btime) : opened.lastWrite;
  opened.size = info.stx_size;
  file->reset(new PosixReadableFile(std::move(owned), opened));
  return S_OK;
}

// A folder held open: its files are opened relative to it, without walking its path again.
class PosixReadableFolder final : public ReadableFolder {
 public:
  explicit PosixReadableFolder(UniqueFd folder) : folder_(std::move(folder)) {}

  Status OpenForReading(std::u16string_view name, std::string_view nativeName,
                        std::unique_ptr<ReadableFile>* file) const override {
    // The name's bytes exactly as the folder listing gave them, valid UTF-8 or not.
    if (!nativeName.empty())
      return OpenRegularFile(folder_.Get(), std::string(nativeName).c_str(), file);
    // An empty name stands for the folder itself, as the folder's path with a separator would.
    const std::string native = name.empty() ? std::string(".") : ToNativePath(name);
    return OpenRegularFile(folder_.Get(), native.c_str(), file);
  }

 private:
  UniqueFd folder_;
};

class PosixReadableFileSystem final : public ReadableFileSystem {
 public:
  Status OpenForReading(std::u16string_view path,
                        std::unique_ptr<ReadableFile>* file) const override {
    // The name's bytes exactly as the folder listing gave them, valid UTF-8 or not.
    return OpenRegularFile(AT_FDCWD, ToNativePath(path).c_str(), file);
  }

  Status OpenFolder(std::u16string_view folder,
                    std::unique_ptr<ReadableFolder>* opened) const override {
    if (!folder.empty()) {
      int fd;
      do {
        fd = ::open(ToNativePath(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      } while (fd < 0 && errno == EINTR);
      if (fd >= 0) {
        opened->reset(new PosixReadableFolder(UniqueFd(fd)));
        return S_OK;
      }
    }
    // A folder that cannot be opened (or the empty path) fails, or not, at each file by its path,
    // as it would without being opened first.
    return ReadableFileSystem::OpenFolder(folder, opened);
  }

  // Every call works on descriptors of its own (the open folder's is only read).
  bool ReadsInParallel() const override { return true; }
};

}  // namespace

const ReadableFileSystem& PlatformReadableFileSystem() {
  static const PosixReadableFileSystem system;
  return system;
}

}  // namespace lumatag
