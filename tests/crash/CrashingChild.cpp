// Installs the crash handler with the state folder given as the first argument, then crashes the
// way the second argument says. Exits with 3 when the handler cannot be installed.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "crash/CrashHandler.h"

namespace {

volatile bool g_stop = false;

// Recurses until the stack runs out.
int Overflow(int depth) {
  if (g_stop) return 0;
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  return Overflow(depth + 1) + frame[0];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  lumatag::CrashHandlerOptions options;
  options.stateRoot = argv[1];
  options.version = "9.8.7-test";
  const lumatag::Status status = lumatag::InstallCrashHandler(options);
  if (lumatag::Failed(status)) {
    std::fprintf(stderr, "install failed: 0x%08x\n", static_cast<unsigned>(status));
    return 3;
  }
  const char* how = argv[2];
  if (std::strcmp(how, "segv") == 0) {
    // Not a null pointer, so that no sanitizer check gets there first.
    volatile std::uintptr_t address = 16;
    *reinterpret_cast<volatile int*>(address) = 1;
  } else if (std::strcmp(how, "abort") == 0) {
    std::abort();
  } else if (std::strcmp(how, "ill") == 0) {
    __builtin_trap();
  } else if (std::strcmp(how, "fpe") == 0) {
    std::raise(SIGFPE);
  } else if (std::strcmp(how, "bus") == 0) {
    std::raise(SIGBUS);
  } else if (std::strcmp(how, "overflow") == 0) {
    return Overflow(0);
  } else if (std::strcmp(how, "thread_overflow") == 0) {
    std::thread worker([] {
      if (lumatag::Failed(lumatag::PrepareThreadForCrashes())) std::_Exit(5);
      Overflow(0);
    });
    worker.join();
  } else if (std::strcmp(how, "none") == 0) {
    return 0;
  }
  return 4;
}
