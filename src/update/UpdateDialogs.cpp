#include "update/UpdateDialogs.h"

#include "ports/Messages.h"

namespace lumatag {

namespace {

Status EntryWith(const StringModule& strings, std::uint16_t id, std::u16string_view first,
                 std::u16string_view second, std::u16string* text) {
  CountedString entry;
  LT_TRY(LoadString(strings, id, entry));
  if (entry.FindText(u"{1}") >= 0) LT_TRY(SubstitutePlaceholder(entry, 1, first));
  if (entry.FindText(u"{2}") >= 0) LT_TRY(SubstitutePlaceholder(entry, 2, second));
  text->assign(entry.View());
  return S_OK;
}

}  // namespace

std::u16string LastCheckPicture(const DateLocale& locale) {
  std::u16string picture(locale.ShortDatePicture());
  picture += locale.AmDesignator().empty() || locale.Name().rfind("en", 0) != 0 ? u" HH:mm:ss"
                                                                                : u" h:mm:ss tt";
  return picture;
}

Status CheckForUpdatesDialogModel::Refresh(SettingsStore& store, const StringModule& strings,
                                           const DateLocale& locale) {
  SystemTime last;
  if (Failed(ReadLastUpdateCheck(store, &last))) {
    return EntryWith(strings, IDS_UPDATE_LAST_NEVER, {}, {}, &lastCheckText_);
  }
  CountedString text;
  LT_TRY(FormatDatePicture(LastCheckPicture(locale), last, text, locale));
  lastCheckText_.assign(text.View());
  return S_OK;
}

int CheckForUpdatesDialogModel::CheckedRadio() const {
  switch (period_) {
    case 0:
      return kUpdateDailyRadio;
    case 2:
      return kUpdateMonthlyRadio;
    case 3:
      return kUpdateNeverRadio;
    default:
      return kUpdateWeeklyRadio;
  }
}

void CheckForUpdatesDialogModel::ChooseRadio(int controlId) {
  if (controlId >= kUpdateDailyRadio && controlId <= kUpdateNeverRadio) {
    period_ = static_cast<std::uint32_t>(controlId - kUpdateDailyRadio);
  }
}

Status CheckForUpdatesDialogModel::CheckNow(UpdateCheckEnvironment& environment,
                                            const DateLocale& locale) {
  const Status status = CheckForUpdates(environment, true);
  if (Failed(status)) return status;
  if (environment.store != nullptr &&
      Failed(Refresh(*environment.store, *environment.context.resourceModule, locale))) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(environment.context, IDS_CONTROLS_NOT_UPDATED));
  }
  return status;
}

void CheckForUpdatesDialogModel::Close(NamingSettings& settings, bool* settingsChanged) const {
  settings.updateCheckPeriod = period_;
  if (settingsChanged != nullptr) *settingsChanged = true;
}

Status UpdateAvailableModel::Build(const VersionInfo& info, const StringModule& strings,
                                   const DateLocale& locale) {
  const auto& entries = info.History();
  const std::u16string_view version =
      entries.Count() > 0 ? entries[0].version.View() : info.LatestVersion().View();
  LT_TRY(EntryWith(strings, IDS_UPDATE_VERSION_AVAILABLE, version, {}, &versionLabel_));
  LT_TRY(EntryWith(strings, IDS_UPDAVAIL_DOWNLOAD_LINK, {}, {}, &linkText_));
  downloadUrl_.assign(info.LatestUrl().View());
  history_.clear();
  for (const VersionHistoryEntry& entry : entries) {
    CountedString date;
    LT_TRY(FormatShortDate(entry.date, date, locale));
    VersionHistoryRow row;
    LT_TRY(
        EntryWith(strings, IDS_UPDATE_HISTORY_ITEM, entry.version.View(), date.View(), &row.text));
    for (const CountedString& note : entry.notes) row.notes.emplace_back(note.View());
    history_.push_back(std::move(row));
  }
  return S_OK;
}

}  // namespace lumatag
