// The update check: fetch the maker's version document, decide whether a newer version exists,
// show the result, and remember when the last check completed ("Update Check Last"); the schedule
// that runs a check at start-up when the chosen period has passed.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "foundation/AppContext.h"
#include "ports/SettingsStore.h"
#include "ports/Clock.h"
#include "ports/DocumentFetcher.h"
#include "update/VersionInfo.h"
#include "update/XmlParser.h"

namespace lumatag {

// The environment variable that replaces the version document's address (for tests and mirrors).
inline constexpr const char* kUpdateUrlVariable = "LUMATAG_UPDATE_URL";

// Where the Update Available dialog comes up.
class UpdateAvailableView {
 public:
  virtual ~UpdateAvailableView() = default;
  // Shows the newer version with its link and history until the person closes it. *created tells
  // whether the dialog came up at all; a failure makes the check a failure.
  virtual Status Show(const VersionInfo& info, bool* created) = 0;
};

// Everything a check works with.
struct UpdateCheckEnvironment {
  UpdateCheckEnvironment(AppContext& context, XmlEventParser& parser, DocumentFetcher& fetcher,
                         const Clock& clock)
      : context(context), parser(parser), fetcher(fetcher), clock(clock) {}

  AppContext& context;
  XmlEventParser& parser;
  DocumentFetcher& fetcher;
  const Clock& clock;
  // Where "Update Check Last" is stored; none: not stored.
  SettingsStore* store = nullptr;
  UpdateAvailableView* view = nullptr;
  std::u16string_view productName;
  std::u16string_view productVersion;
  // The document's address; empty: the environment variable, else the built-in address.
  std::u16string_view url;
};

enum class UpdateCheckOutcome { kFailed, kUpToDate, kNewer };

// The address of the version document: `explicitUrl` when given, else the environment variable
// when set and non-empty, else the program's own entry.
Status VersionDocumentUrl(const StringModule& strings, std::u16string_view explicitUrl,
                          CountedString& url);

// The whole check. Interactive (the dialog's button) shows "up to date" and the failure message;
// a scheduled check shows only what the document loader and the Update Available dialog show.
// After a check that did not fail, "Update Check Last" becomes the current local time.
Status CheckForUpdates(UpdateCheckEnvironment& environment, bool interactive,
                       UpdateCheckOutcome* outcome = nullptr);

// The period in days ("Update Check Period": 0 daily, 1 weekly, 2 monthly, 3 never), 0 for never;
// any other value is weekly.
int UpdateCheckPeriodDays(std::uint32_t period);
// Whether a check is due: never for period 3; always without a last check; else when `now` is at
// or after the last check plus the period.
bool IsUpdateCheckDue(std::uint32_t period, const SystemTime* lastCheck, const SystemTime& now);

// "Update Check Last": S_OK with the time, or a failure when it is missing or unreadable.
Status ReadLastUpdateCheck(SettingsStore& store, SystemTime* lastCheck);
Status StoreLastUpdateCheck(SettingsStore& store, const SystemTime& time);

// Start-up: when a check is due, hands `queueCheck` the task (the caller runs a scheduled check
// when the program is up). Returns whether it was due.
bool ScheduleUpdateCheck(SettingsStore& store, std::uint32_t period, const Clock& clock,
                         const std::function<void()>& queueCheck);

// Only web pages are opened from a link that came over the network: an http or https address.
bool IsWebPageUrl(std::u16string_view url);
// Opens the download page with `open` (the desktop's browser); an empty address is E_INVALIDARG,
// an address other than http/https E_ACCESS_DENIED and never handed on. Any failure shows
// "An error occurred when trying to display the web page.".
Status OpenWebPage(AppContext& context, std::u16string_view url,
                   const std::function<Status(std::u16string_view)>& open);

}  // namespace lumatag
