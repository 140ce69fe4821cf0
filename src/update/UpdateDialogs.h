// What the two update dialogs show and do, without the widgets: the Check for Updates dialog (last
// check, "Check for Updates Now...", the automatic period) and the Update Available dialog (the
// version, the download link, the version history tree). The widgets only copy these out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/AppContext.h"
#include "ports/SettingsRecords.h"
#include "ports/SettingsStore.h"
#include "patterns/DatePicture.h"
#include "update/UpdateCheck.h"

namespace lumatag {

// Control ids of the Check for Updates dialog (template 1020).
inline constexpr int kUpdateDialogTemplate = 1020;
inline constexpr int kUpdateCheckNowButton = 102;
inline constexpr int kUpdateDailyRadio = 104;
inline constexpr int kUpdateWeeklyRadio = 105;
inline constexpr int kUpdateMonthlyRadio = 106;
inline constexpr int kUpdateNeverRadio = 107;

// Control ids of the Update Available dialog (template 1021).
inline constexpr int kUpdateAvailableTemplate = 1021;
inline constexpr int kUpdateAvailableVersionLabel = 102;
inline constexpr int kUpdateAvailableHistoryTree = 103;
inline constexpr int kUpdateAvailableDownloadLink = 104;
// Controls without an id of their own.
inline constexpr int kNoControlId = -1;

// A control's fixed text and tool tip (0: none), as the widgets set them up.
struct UpdateDialogControl {
  int controlId;
  std::uint16_t textId;
  std::uint16_t toolTipId;
};

// Check for Updates: title 23350 with the close button 23152; the last-check value is filled by
// the model.
inline constexpr std::uint16_t kCheckForUpdatesTitle = IDS_UPD_TITLE;
inline constexpr UpdateDialogControl kCheckForUpdatesControls[] = {
    {kNoControlId, IDS_UPD_LBL_LAST_CHECK, 0},
    {kNoControlId, 0, IDS_TIP_UPD_LAST_CHECK},  // the value
    {kUpdateCheckNowButton, IDS_UPD_BTN_CHECK_NOW, IDS_TIP_UPD_CHECK_NOW},
    {kNoControlId, IDS_UPD_GROUP_AUTOMATIC, 0},
    {kUpdateDailyRadio, IDS_UPD_DAILY, IDS_TIP_UPD_DAILY},
    {kUpdateWeeklyRadio, IDS_UPD_WEEKLY, IDS_TIP_UPD_WEEKLY},
    {kUpdateMonthlyRadio, IDS_UPD_MONTHLY, IDS_TIP_UPD_MONTHLY},
    {kUpdateNeverRadio, IDS_UPD_NEVER, IDS_TIP_UPD_NEVER},
};

// Update Available: title 23358 with the close button 23152; the label's and the tree's contents
// come from the model.
inline constexpr std::uint16_t kUpdateAvailableTitle = IDS_UPDAVAIL_TITLE;
inline constexpr UpdateDialogControl kUpdateAvailableControls[] = {
    {kUpdateAvailableVersionLabel, 0, IDS_TIP_UPD_AVAILABLE_VERSION},
    {kUpdateAvailableDownloadLink, IDS_UPDAVAIL_DOWNLOAD_LINK, IDS_TIP_UPD_DOWNLOAD_LINK},
    {kNoControlId, IDS_UPDAVAIL_LBL_HISTORY, 0},
    {kUpdateAvailableHistoryTree, 0, IDS_TIP_UPD_HISTORY},
};
inline constexpr std::uint16_t kUpdateDialogCloseButton = IDS_BTN_CLOSE;

// The date and time picture of a locale for "Update Check Last": its short date, a space, and its
// time (12-hour with the designator where the locale writes one, else 24-hour).
std::u16string LastCheckPicture(const DateLocale& locale);

class CheckForUpdatesDialogModel {
 public:
  // Starts from the application's period.
  explicit CheckForUpdatesDialogModel(std::uint32_t period) : period_(period) {}

  // Reads "Update Check Last" into the value text: date and time, or "Never" when it is missing or
  // unreadable.
  Status Refresh(SettingsStore& store, const StringModule& strings, const DateLocale& locale);
  const std::u16string& LastCheckText() const { return lastCheckText_; }

  std::uint32_t Period() const { return period_; }
  // The radio button of the dialog's period (another stored value shows weekly).
  int CheckedRadio() const;
  // A radio button chosen: its period.
  void ChooseRadio(int controlId);

  // "Check for Updates Now...": an interactive check; when it did not fail the value text is read
  // again, and a failure of that shows "An error occurred that prevented the control contents and
  // states from being properly updated.".
  Status CheckNow(UpdateCheckEnvironment& environment, const DateLocale& locale);

  // "Close": the chosen period becomes the application's, and the settings are marked for saving.
  void Close(NamingSettings& settings, bool* settingsChanged) const;

 private:
  std::uint32_t period_;
  std::u16string lastCheckText_;
};

// One top-level row of the history tree, with its notes.
struct VersionHistoryRow {
  std::u16string text;  // "Version {1} ({2})"
  std::vector<std::u16string> notes;
};

class UpdateAvailableModel {
 public:
  // Builds the texts from a check's findings. The label takes the first history entry's version,
  // or the latest entry's version when the document has no history for this product.
  Status Build(const VersionInfo& info, const StringModule& strings, const DateLocale& locale);

  const std::u16string& VersionLabel() const { return versionLabel_; }
  const std::u16string& LinkText() const { return linkText_; }
  const std::u16string& DownloadUrl() const { return downloadUrl_; }
  // Top-level items in document order; the first one is shown expanded.
  const std::vector<VersionHistoryRow>& History() const { return history_; }

  // The link clicked: opens the download page (http and https only) with `open`; a failure shows
  // "An error occurred when trying to display the web page.".
  Status OpenDownloadPage(AppContext& context,
                          const std::function<Status(std::u16string_view)>& open) const {
    return OpenWebPage(context, downloadUrl_, open);
  }

 private:
  std::u16string versionLabel_;
  std::u16string linkText_;
  std::u16string downloadUrl_;
  std::vector<VersionHistoryRow> history_;
};

}  // namespace lumatag
