#include "crash/CrashLogs.h"

#include "crash/CrashReportFolder.h"
#include "foundation/StringIds.h"
#include "ports/Messages.h"

namespace lumatag {

namespace {

Status OpenFolder(const std::string& stateRoot, CrashReportFolder& folder) {
  std::string root = stateRoot;
  if (root.empty()) LT_TRY(DefaultStateRoot(&root));
  return folder.Open(root);
}

Status SetMinidumpAvailable(SettingsStore& store, NamingSettings& settings, bool available) {
  store.Registry().BeginUpdate();
  Status status = S_OK;
  {
    SettingsKey key;
    status = store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key);
    if (Succeeded(status)) status = store.SetBool(key, IDS_REG_MINIDUMP_AVAILABLE, available);
  }
  const Status ended = StatusFromRegistryError(store.Registry().EndUpdate());
  if (Succeeded(status)) status = ended;
  if (Succeeded(status)) settings.minidumpAvailable = available;
  return status;
}

Status Load(const StringModule& module, std::uint16_t id, std::u16string* out) {
  CountedString text;
  LT_TRY(LoadString(module, id, text));
  out->assign(text.View());
  return S_OK;
}

}  // namespace

Status TakeCrashMarker(const std::string& stateRoot, SettingsStore& store, NamingSettings& settings,
                       bool* crashed) {
  if (crashed != nullptr) *crashed = false;
  CrashReportFolder folder;
  LT_TRY(OpenFolder(stateRoot, folder));
  bool found = false;
  LT_TRY(folder.TakeMarker(&found));
  if (crashed != nullptr) *crashed = found;
  if (!found) return S_OK;
  return SetMinidumpAvailable(store, settings, true);
}

bool ShouldOfferCrashLogsAtStart(const NamingSettings& settings) {
  return settings.minidumpAlert && settings.minidumpAvailable;
}

Status MakeCrashLogDialogContent(const StringModule& module, std::u16string_view reportPath,
                                 const ProductInfo& product, CrashLogDialogContent* content) {
  LT_TRY(Load(module, IDS_CRASH_TITLE, &content->title));
  LT_TRY(Load(module, IDS_CRASH_TEXT, &content->text));
  LT_TRY(Load(module, IDS_CRASH_LBL_FILE, &content->fileLabel));
  LT_TRY(Load(module, IDS_CRASH_LBL_EMAIL, &content->emailLabel));
  content->filePath.assign(reportPath);
  content->email.assign(product.supportEmail);
  return S_OK;
}

Status ShowCrashLogs(bool interactive, const std::string& stateRoot, SettingsStore& store,
                     NamingSettings& settings, AppContext& context, CrashLogsView& view,
                     const ProductInfo& product) {
  CrashReportFolder folder;
  LT_TRY(OpenFolder(stateRoot, folder));
  std::string name;
  const Status found = folder.FindFirstReport(&name);
  if (Failed(found) && found != E_FILE_NOT_FOUND) return found;
  if (Succeeded(found)) {
    CountedString path;
    CrashLogDialogContent content;
    if (Succeeded(path.AssignUtf8(folder.Path() + "/" + name)) &&
        Succeeded(
            MakeCrashLogDialogContent(*context.resourceModule, path.View(), product, &content))) {
      (void)view.ShowCrashLogDialog(content);
    }
  } else if (interactive) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowInformation(context, IDS_NO_CRASH_LOGS));
  }
  return SetMinidumpAvailable(store, settings, false);
}

}  // namespace lumatag
