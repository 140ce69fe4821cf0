#include "update/UpdateCheck.h"

#include <cstdlib>

#include "metadata/PhotoFacts.h"
#include "patterns/DatePicture.h"
#include "ports/Messages.h"

namespace lumatag {

namespace {

Status RunCheck(UpdateCheckEnvironment& environment, bool interactive,
                UpdateCheckOutcome* outcome) {
  AppContext& context = environment.context;
  CountedString url;
  LT_TRY(VersionDocumentUrl(*context.programModule, environment.url, url));
  if (environment.productName.empty() || environment.productVersion.empty()) return E_UNEXPECTED;

  VersionInfo info(environment.productName, environment.productVersion);
  XmlLoader loader(context, environment.parser, &environment.fetcher);
  LT_TRY(InitXmlLoader(loader, &info));
  LT_TRY(SetXmlSource(loader, url.View(), IsUrlSource(url.View())));
  const Status parsed = ParseXml(loader);
  if (Failed(parsed) && parsed != E_CANCELLED) return parsed;

  if (!info.NewerAvailable()) {
    *outcome = UpdateCheckOutcome::kUpToDate;
    // A message that cannot be shown leaves nothing more to do.
    if (interactive) IgnoreStatus(ShowInformation(context, IDS_UPDATE_UP_TO_DATE));
    return S_OK;
  }
  bool created = false;
  const Status shown =
      environment.view != nullptr ? environment.view->Show(info, &created) : E_UNEXPECTED;
  // A message that cannot be shown leaves nothing more to do.
  if (!created) IgnoreStatus(ShowErrorMessage(context, IDS_DIALOG_NOT_SHOWN));
  if (Failed(shown)) return shown;
  if (!created) return E_FAIL;
  *outcome = UpdateCheckOutcome::kNewer;
  return S_OK;
}

}  // namespace

Status VersionDocumentUrl(const StringModule& strings, std::u16string_view explicitUrl,
                          CountedString& url) {
  if (!explicitUrl.empty()) return url.Assign(explicitUrl);
  const char* variable = std::getenv(kUpdateUrlVariable);
  if (variable != nullptr && variable[0] != 0) return url.AssignUtf8(variable);
  return LoadString(strings, IDS_VERSION_DOCUMENT_URL, url);
}

Status CheckForUpdates(UpdateCheckEnvironment& environment, bool interactive,
                       UpdateCheckOutcome* outcome) {
  UpdateCheckOutcome result = UpdateCheckOutcome::kFailed;
  const Status status = RunCheck(environment, interactive, &result);
  if (outcome != nullptr) *outcome = result;
  if (Failed(status)) {
    // A message that cannot be shown leaves nothing more to do.
    if (interactive) IgnoreStatus(ShowErrorMessage(environment.context, IDS_ERR_UPDATE_CHECK));
    return status;
  }
  // A failure to store the time only means that the next start may check again.
  if (environment.store != nullptr) {
    IgnoreStatus(StoreLastUpdateCheck(*environment.store, environment.clock.LocalNow()));
  }
  return S_OK;
}

int UpdateCheckPeriodDays(std::uint32_t period) {
  switch (period) {
    case 0:
      return 1;
    case 2:
      return 30;
    case 3:
      return 0;
    default:
      return 7;
  }
}

bool IsUpdateCheckDue(std::uint32_t period, const SystemTime* lastCheck, const SystemTime& now) {
  const int days = UpdateCheckPeriodDays(period);
  if (days == 0) return false;
  if (lastCheck == nullptr) return true;
  SystemTime due = *lastCheck;
  AddDays(due, static_cast<std::uint16_t>(days));
  return CompareCalendarFields(now, due) >= 0;
}

Status ReadLastUpdateCheck(SettingsStore& store, SystemTime* lastCheck) {
  SettingsKey key;
  LT_TRY(store.OpenSettingsKey(IDS_REG_KEY_PATH, &key));
  std::uint8_t bytes[8] = {};
  std::uint32_t size = sizeof bytes;
  LT_TRY(store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, bytes, &size));
  if (size != sizeof bytes) return E_INVALIDARG;
  FileTime time = 0;
  for (int i = 7; i >= 0; --i) time = (time << 8) | bytes[i];
  return FileTimeToSystemTime(time, lastCheck);
}

Status StoreLastUpdateCheck(SettingsStore& store, const SystemTime& time) {
  FileTime value = 0;
  LT_TRY(SystemTimeToFileTime(time, &value));
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  SettingsKey key;
  LT_TRY(store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key));
  return store.SetBinary(key, IDS_REG_UPDATE_CHECK_LAST, bytes);
}

bool ScheduleUpdateCheck(SettingsStore& store, std::uint32_t period, const Clock& clock,
                         const std::function<void()>& queueCheck) {
  if (UpdateCheckPeriodDays(period) == 0) return false;
  SystemTime last;
  const bool haveLast = Succeeded(ReadLastUpdateCheck(store, &last));
  if (!IsUpdateCheckDue(period, haveLast ? &last : nullptr, clock.LocalNow())) return false;
  if (queueCheck) queueCheck();
  return true;
}

bool IsWebPageUrl(std::u16string_view url) {
  const auto startsWith = [&](std::u16string_view scheme) {
    if (url.size() <= scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      char16_t c = url[i];
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
      if (c != scheme[i]) return false;
    }
    return true;
  };
  return startsWith(u"http://") || startsWith(u"https://");
}

Status OpenWebPage(AppContext& context, std::u16string_view url,
                   const std::function<Status(std::u16string_view)>& open) {
  Status status = S_OK;
  if (url.empty()) {
    status = E_INVALIDARG;
  } else if (!IsWebPageUrl(url)) {
    status = E_ACCESS_DENIED;
  } else if (!open) {
    status = E_UNEXPECTED;
  } else {
    status = open(url);
  }
  // A message that cannot be shown leaves nothing more to do.
  if (Failed(status)) IgnoreStatus(ShowErrorMessage(context, IDS_ERR_WEB_PAGE));
  return status;
}

}  // namespace lumatag
