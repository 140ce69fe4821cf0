// The per-user folder that holds the crash report of the latest crash and the marker that says a
// crash happened since the last start: <state folder>/Lumatag/crash-reports, where the state
// folder is $XDG_STATE_HOME (when it is an absolute path) or ~/.local/state.
//
// The folder is the user's own: both program folders are created with mode 0700, must belong to
// the user, lose any access by others, and are never reached through a symbolic link (a link
// planted in their place is refused, not followed). Everything inside is reached relative to the
// folder's descriptor, without following links, and only plain report files are ever deleted.
#pragma once

#include <string>

#include "foundation/Status.h"

namespace lumatag {

inline constexpr char kStateFolderName[] = "Lumatag";
inline constexpr char kReportFolderName[] = "crash-reports";
// Left by the crash handler beside the report; the next start turns it into "Minidump Available".
inline constexpr char kCrashMarkerName[] = "crash-pending";

// The state folder of the current user (it need not exist yet).
Status DefaultStateRoot(std::string* root);

// True for a report's file name: it ends in ".dmp", in any letter case.
bool IsReportFileName(const char* name);

class CrashReportFolder {
 public:
  CrashReportFolder() = default;
  ~CrashReportFolder() { Close(); }
  CrashReportFolder(CrashReportFolder&& other) noexcept;
  CrashReportFolder& operator=(CrashReportFolder&& other) noexcept;
  CrashReportFolder(const CrashReportFolder&) = delete;
  CrashReportFolder& operator=(const CrashReportFolder&) = delete;

  // Opens the report folder below `stateRoot`, creating what is missing (the state root itself
  // with its parents, as the user's own folders). E_ACCESS_DENIED for a program folder that is a
  // symbolic link, not a folder, or someone else's.
  Status Open(const std::string& stateRoot);
  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  // The folder's full path, for showing.
  const std::string& Path() const { return path_; }
  // Hands the descriptor over to the caller (who closes it); the object is closed afterwards.
  int Release();
  void Close();

  // The name of the first plain report file in the folder's own order; E_FILE_NOT_FOUND when
  // there is none.
  Status FindFirstReport(std::string* name) const;
  // Removes the crash marker; *found says whether there was one.
  Status TakeMarker(bool* found) const;

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace lumatag
