// After a crash: the marker the crash handler left becomes the setting "Minidump Available" at the
// next start; the crash log is offered at start-up when "Minidump Alert" is on, and on request
// ("Check for Crash Logs..."). What the Crash Log Available dialog shows is prepared here; the
// dialog itself is a thin widget behind CrashLogsView.
#pragma once

#include <string>

#include "foundation/AppContext.h"
#include "foundation/ProductInfo.h"
#include "ports/SettingsRecords.h"
#include "ports/SettingsStore.h"

namespace lumatag {

inline constexpr int kCrashLogDialogId = 1022;
inline constexpr int kCrashLogFileEdit = 105;
inline constexpr int kCrashLogEmailEdit = 108;

struct CrashLogDialogContent {
  std::u16string title;       // "Lumatag Crash Log Available"
  std::u16string text;        // what to do with the log
  std::u16string fileLabel;   // "Minidump &file:"
  std::u16string filePath;    // the report's full path (read-only, several lines)
  std::u16string emailLabel;  // "&Email to:"
  std::u16string email;       // the support address (read-only)
};

class CrashLogsView {
 public:
  virtual ~CrashLogsView() = default;
  // Shows the Crash Log Available dialog until "Close".
  virtual Status ShowCrashLogDialog(const CrashLogDialogContent& content) = 0;
};

// Start-up, after the naming settings are loaded: when the crash handler left its marker in the
// report folder below `stateRoot` (empty: the user's own), "Minidump Available" becomes 1 in the
// store and in `settings`, and the marker goes. *crashed (optional) says whether there was one.
Status TakeCrashMarker(const std::string& stateRoot, SettingsStore& store, NamingSettings& settings,
                       bool* crashed = nullptr);

// Start-up: whether to arm the deferred task that offers the crash log.
bool ShouldOfferCrashLogsAtStart(const NamingSettings& settings);

// The crash-log command (interactive, from the menu) and the deferred start-up task (not
// interactive): looks in the report folder (created when missing) for the first report, in any
// letter case of ".dmp", and shows it in the dialog; with none found, the command says
// "There are no crash logs available for Lumatag." while the start-up task stays quiet. When the
// folder could be searched, "Minidump Available" is set to 0 (the dialog's outcome is not looked
// at). A folder that cannot be made or used shows nothing and changes nothing.
Status ShowCrashLogs(bool interactive, const std::string& stateRoot, SettingsStore& store,
                     NamingSettings& settings, AppContext& context, CrashLogsView& view,
                     const ProductInfo& product = BuiltInProductInfo());

// The dialog's texts for the report at `reportPath`.
Status MakeCrashLogDialogContent(const StringModule& module, std::u16string_view reportPath,
                                 const ProductInfo& product, CrashLogDialogContent* content);

}  // namespace lumatag
