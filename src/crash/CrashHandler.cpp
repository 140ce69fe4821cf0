#include "crash/CrashHandler.h"

#include <dirent.h>
#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "crash/CrashReportFolder.h"
#include "crash/ReportName.h"

namespace lumatag {

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxFrames = 128;
constexpr std::size_t kAltStackSize = 64 * 1024;

// Everything the handler uses, prepared at installation.
struct HandlerState {
  int folderFd = -1;
  int mapsFd = -1;
  UtcOffsetTable utcOffsets;
  char product[64] = {};
  char version[128] = {};
  void* frames[kMaxFrames] = {};
  char out[4096] = {};  // the report's write buffer
  std::size_t used = 0;
  int reportFd = -1;
  bool failed = false;
  alignas(8) char listing[8192] = {};  // folder entries while old reports are deleted
  char copy[4096] = {};                // the memory map on its way into the report
};

HandlerState g_state;
std::atomic<int> g_entered{0};
std::string g_folderPath;

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free flag");

void CopyText(char* target, std::size_t size, const std::string& text) {
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

// --- Async-signal-safe pieces ------------------------------------------------------------------

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void Flush() {
  if (g_state.used > 0 && !WriteAll(g_state.reportFd, g_state.out, g_state.used)) {
    g_state.failed = true;
  }
  g_state.used = 0;
}

void Put(const char* text, std::size_t size) {
  while (size > 0) {
    if (g_state.used == sizeof g_state.out) Flush();
    std::size_t n = sizeof g_state.out - g_state.used;
    if (n > size) n = size;
    std::memcpy(g_state.out + g_state.used, text, n);
    g_state.used += n;
    text += n;
    size -= n;
  }
}

void Put(const char* text) {
  Put(text, std::strlen(text));
}

void PutDecimal(std::int64_t value, int minDigits = 1) {
  char digits[24];
  int n = 0;
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0 || n < minDigits);
  if (negative) Put("-", 1);
  while (n > 0) Put(&digits[--n], 1);
}

void PutHex(std::uintptr_t value) {
  char digits[2 + 2 * sizeof value];
  digits[0] = '0';
  digits[1] = 'x';
  for (std::size_t i = 0; i < 2 * sizeof value; ++i) {
    digits[2 + i] = "0123456789abcdef"[(value >> (4 * (2 * sizeof value - 1 - i))) & 0xF];
  }
  Put(digits, sizeof digits);
}

const char* SignalName(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGFPE:
      return "SIGFPE";
    case SIGILL:
      return "SIGILL";
    case SIGABRT:
      return "SIGABRT";
    default:
      return "signal";
  }
}

// The entries of the kernel's directory listing.
struct DirectoryEntry {
  std::uint64_t inode;
  std::int64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

bool IsPlainFile(int folder, const DirectoryEntry& entry) {
  if (entry.type == DT_REG) return true;
  if (entry.type != DT_UNKNOWN) return false;
  struct stat info {};
  return fstatat(folder, entry.name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

// Deletes the plain report files of the folder; nothing else, and nothing outside it.
void DeleteOldReports(int folder) {
  for (int pass = 0; pass < 8; ++pass) {
    if (lseek(folder, 0, SEEK_SET) != 0) return;
    bool deleted = false;
    while (true) {
      const long n = syscall(SYS_getdents64, folder, g_state.listing, sizeof g_state.listing);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        const auto& entry = *reinterpret_cast<const DirectoryEntry*>(g_state.listing + at);
        at += entry.length;
        if (IsReportFileName(entry.name) && IsPlainFile(folder, entry) &&
            unlinkat(folder, entry.name, 0) == 0) {
          deleted = true;
        }
      }
    }
    // Deleting while listing may skip entries: list again until a pass deletes nothing.
    if (!deleted) return;
  }
}

void CopyMemoryMap() {
  int maps = g_state.mapsFd;
  bool opened = false;
  if (maps < 0 || lseek(maps, 0, SEEK_SET) != 0) {
    maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    opened = true;
  }
  if (maps < 0) {
    Put("(not available)\n");
    return;
  }
  while (true) {
    const ssize_t n = read(maps, g_state.copy, sizeof g_state.copy);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    Put(g_state.copy, static_cast<std::size_t>(n));
  }
  if (opened) close(maps);
}

// Writes the report of `signal`; true when the whole report reached the file.
bool WriteCrashDump(int signal, const siginfo_t* info) {
  const int folder = g_state.folderFd;
  if (folder < 0) return false;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);

  const std::int64_t offset = g_state.utcOffsets.OffsetAt(now.tv_sec);
  DeleteOldReports(folder);
  char name[kReportNameSize];
  FormatReportName(now.tv_sec, offset, name);
  g_state.reportFd =
      openat(folder, name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (g_state.reportFd < 0) return false;
  g_state.used = 0;
  g_state.failed = false;

  Put(g_state.product);
  Put(" crash report\nVersion: ");
  Put(g_state.version);
  const CivilTime t = CivilFromSeconds(now.tv_sec + offset);
  Put("\nTime: ");
  PutDecimal(t.year, 4);
  Put("-");
  PutDecimal(t.month, 2);
  Put("-");
  PutDecimal(t.day, 2);
  Put(" ");
  PutDecimal(t.hour, 2);
  Put(":");
  PutDecimal(t.minute, 2);
  Put(":");
  PutDecimal(t.second, 2);
  Put(" (UTC");
  Put(offset < 0 ? "-" : "+");
  PutDecimal((offset < 0 ? -offset : offset) / 3600, 2);
  PutDecimal((offset < 0 ? -offset : offset) / 60 % 60, 2);
  Put(")\nSignal: ");
  PutDecimal(signal);
  Put(" (");
  Put(SignalName(signal));
  Put("), code ");
  PutDecimal(info != nullptr ? info->si_code : 0);
  Put("\nAddress: ");
  PutHex(info != nullptr ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0);
  Put("\nProcess: ");
  PutDecimal(getpid());
  Put(", thread ");
  PutDecimal(static_cast<std::int64_t>(syscall(SYS_gettid)));
  Put("\n\nBacktrace:\n");
  Flush();
  const int frames = backtrace(g_state.frames, kMaxFrames);
  backtrace_symbols_fd(g_state.frames, frames, g_state.reportFd);
  Put("\nMemory map:\n");
  CopyMemoryMap();
  Flush();
  const bool complete = !g_state.failed && fsync(g_state.reportFd) == 0;
  close(g_state.reportFd);
  g_state.reportFd = -1;
  return complete;
}

void LeaveMarker() {
  const int fd = openat(g_state.folderFd, kCrashMarkerName,
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) close(fd);
}

void CrashHandler(int signal, siginfo_t* info, void* /*context*/) {
  const int savedErrno = errno;
  if (g_entered.exchange(1) != 0) {
    // Another thread is writing the report and will end the process.
    for (;;) {
      timespec wait{1, 0};
      nanosleep(&wait, nullptr);
    }
  }
  if (WriteCrashDump(signal, info)) LeaveMarker();

  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  errno = savedErrno;
  // A signal that was sent (abort, kill) is sent again; it stays blocked until the handler
  // returns and then ends the process. A fault the processor raised happens again when the
  // faulting instruction runs once more, now with the default action.
  if (info == nullptr || info->si_code <= 0 || signal == SIGABRT) raise(signal);
}

// A thread's alternate signal stack; switched off before its memory goes at the thread's end.
class AlternateStack {
 public:
  AlternateStack() = default;
  AlternateStack(const AlternateStack&) = delete;
  AlternateStack& operator=(const AlternateStack&) = delete;
  ~AlternateStack() {
    if (!memory_) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
  }
  bool Ready() const { return memory_ != nullptr; }
  Status Prepare() {
    const std::size_t size =
        kAltStackSize > static_cast<std::size_t>(SIGSTKSZ) ? kAltStackSize : SIGSTKSZ;
    std::unique_ptr<char[]> memory(new (std::nothrow) char[size]);
    if (!memory) return E_OUTOFMEMORY;
    stack_t alternate{};
    alternate.ss_sp = memory.get();
    alternate.ss_size = size;
    if (sigaltstack(&alternate, nullptr) != 0) return StatusFromLastError(errno, E_FAIL);
    memory_ = std::move(memory);
    return S_OK;
  }

 private:
  std::unique_ptr<char[]> memory_;
};

}  // namespace

Status PrepareThreadForCrashes() {
  thread_local AlternateStack stack;
  return stack.Ready() ? S_OK : stack.Prepare();
}

const std::string& InstalledReportFolder() {
  return g_folderPath;
}

Status InstallCrashHandler(const CrashHandlerOptions& options) {
  std::string root = options.stateRoot;
  if (root.empty()) LT_TRY(DefaultStateRoot(&root));
  CrashReportFolder folder;
  LT_TRY(folder.Open(root));

  // Loads the unwinder now: its first use may allocate and load a library.
  void* warmUp[4];
  (void)backtrace(warmUp, 4);
  LT_TRY(PrepareThreadForCrashes());

  // Local time for the next year and a half of running.
  UtcOffsetTable offsets;
  offsets.Build(time(nullptr), 550);
  const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);

  // Swap in the new state while no handler of ours can run.
  struct sigaction action {};
  action.sa_sigaction = CrashHandler;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (const int signal : kFatalSignals) sigaddset(&action.sa_mask, signal);

  if (g_state.folderFd >= 0) close(g_state.folderFd);
  if (g_state.mapsFd >= 0) close(g_state.mapsFd);
  g_state.folderFd = folder.Release();
  g_state.mapsFd = maps;
  g_state.utcOffsets = offsets;
  CopyText(g_state.product, sizeof g_state.product, options.productName);
  CopyText(g_state.version, sizeof g_state.version, options.version);
  g_folderPath = folder.Path();

  for (const int signal : kFatalSignals) {
    if (sigaction(signal, &action, nullptr) != 0) return StatusFromLastError(errno, E_FAIL);
  }
  return S_OK;
}

}  // namespace lumatag
