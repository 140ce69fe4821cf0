// The crash handler: installed as the first step of start-up, it catches the fatal signals
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) and writes a crash report into the per-user report
// folder: the signal, the fault address, a backtrace, the memory map, the program version and the
// local time, in a file named "LTGv1_yyyyMMddHHmmss.dmp" that replaces any earlier report. It then
// leaves a marker for the next start, restores the signal's default action and lets it end the
// process as before, so that the system's core dump still follows.
//
// At the moment of a crash the process may be in any state, so the handler makes only
// async-signal-safe calls on an alternate stack, with everything it needs (the folder's
// descriptor, the version text, the UTC offset, its buffers) prepared at installation. It never
// touches the settings: the next start turns the marker into "Minidump Available".
#pragma once

#include <string>

#include "foundation/Status.h"

namespace lumatag {

struct CrashHandlerOptions {
  // The state folder that holds the report folder; empty for the user's own (DefaultStateRoot).
  std::string stateRoot;
  // Written into the report.
  std::string productName = "Lumatag";
  std::string version;
};

// Prepares the report folder and installs the handler. A failure (the folder cannot be made safe,
// for example because a link stands in its place) leaves the signals' actions as they were; the
// program goes on without crash reports.
Status InstallCrashHandler(const CrashHandlerOptions& options);

// Gives the calling thread its own alternate signal stack, so that a stack overflow there still
// reaches the handler. InstallCrashHandler does this for the thread that calls it; other threads
// call it when they start. The stack lives as long as the thread.
Status PrepareThreadForCrashes();

// The report folder in use since InstallCrashHandler, empty before.
const std::string& InstalledReportFolder();

}  // namespace lumatag
