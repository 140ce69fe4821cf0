// Helpers of the crash tests: running the crashing child, looking at a folder.
#pragma once

#include <string>
#include <vector>

namespace lumatag {

struct ChildResult {
  bool signalled = false;
  int signal = 0;
  int exitCode = -1;
};

// Runs the crashing child with `stateRoot` and `how`, without core dump and with the sanitizers'
// own signal handling off, and waits for it.
ChildResult RunCrashingChild(const std::string& stateRoot, const std::string& how);

// The names in a folder (without "." and ".."), sorted.
std::vector<std::string> FolderNames(const std::string& folder);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
bool Exists(const std::string& path);  // without following a final link

}  // namespace lumatag
