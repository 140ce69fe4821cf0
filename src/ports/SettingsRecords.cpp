#include "ports/SettingsRecords.h"

#include <algorithm>

#include "ports/Messages.h"

namespace lumatag {

namespace {

// A read result that asks for the settings to be written again.
bool NeedsSaving(Status status) {
  return status == S_FALSE || status == SETTING_DEFAULTED || Failed(status);
}

// Groups the changes of a load or save into one update of the store.
class UpdateScope {
 public:
  explicit UpdateScope(SettingsStore& store) : registry_(store.Registry()) {
    registry_.BeginUpdate();
  }
  ~UpdateScope() { IgnoreStatus(End()); }  // callers that care call End themselves
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;
  Status End() {
    if (!open_) return S_OK;
    open_ = false;
    return StatusFromRegistryError(registry_.EndUpdate());
  }

 private:
  RegistryStore& registry_;
  bool open_ = true;
};

// Counts the failed writes of a save.
struct WriteCounter {
  int failed = 0;
  void operator()(Status status) {
    if (Failed(status)) ++failed;
  }
  Status Result() const { return failed > 0 ? S_FALSE : S_OK; }
};

}  // namespace

void ReportSettingsRecovery(SettingsStore& store, AppContext& context) {
  std::u16string backup;
  if (!store.Registry().TakeRecoveryNotice(&backup)) return;
  // The backup path may be long: prepare this text on the heap.
  CountedString text(context.heap);
  if (Failed(LoadString(*context.resourceModule, IDS_ERR_SETTINGS_FILE_DAMAGED, text)) &&
      Failed(LoadString(*context.programModule, IDS_ERR_SETTINGS_FILE_DAMAGED, text))) {
    return;
  }
  if (Failed(SubstitutePlaceholder(text, 1, std::u16string_view(backup)))) return;
  ShowMessage(context, text.CStr(), MB_ICONWARNING);
}

Status LoadWindowSettings(SettingsStore& store, AppContext& context, WindowSettings& settings,
                          bool* settingsChanged) {
  bool changed = false;
  Status result = S_OK;
  {
    UpdateScope update(store);
    SettingsKey key;
    result = store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key);
    if (Succeeded(result)) {
      struct Entry {
        std::uint16_t id;
        std::uint32_t defaultValue;
        void* target;
      };
      std::uint32_t state = settings.appWindowState;
      std::uint32_t values[7];
      const Entry entries[] = {
          {IDS_REG_APP_WINDOW_STATE, 1, &state},
          {IDS_REG_APP_WINDOW_TOP, 0, &values[0]},
          {IDS_REG_APP_WINDOW_LEFT, 0x80000000u, &values[1]},
          {IDS_REG_APP_WINDOW_HEIGHT, 0, &values[2]},
          {IDS_REG_APP_WINDOW_WIDTH, 0x80000000u, &values[3]},
          {IDS_REG_DIALOG_CENTER_LEFT, 0xFFFFFFFFu, &values[4]},
          {IDS_REG_DIALOG_CENTER_TOP, 0xFFFFFFFFu, &values[5]},
          {IDS_REG_UI_LOCALE, 0, &values[6]},
      };
      for (const Entry& entry : entries) {
        auto* target = static_cast<std::uint32_t*>(entry.target);
        const Status status = store.GetDword(key, entry.id, entry.defaultValue, target);
        if (Failed(status)) {
          // A default that could not be written back still holds; a failed window state restores
          // the window.
          *target = entry.id == IDS_REG_APP_WINDOW_STATE ? 9u : entry.defaultValue;
        }
        if (NeedsSaving(status)) changed = true;
      }
      settings.appWindowState = state;
      settings.appWindowTop = static_cast<std::int32_t>(values[0]);
      settings.appWindowLeft = static_cast<std::int32_t>(values[1]);
      settings.appWindowHeight = static_cast<std::int32_t>(values[2]);
      settings.appWindowWidth = static_cast<std::int32_t>(values[3]);
      settings.dialogCenterLeft = static_cast<std::int32_t>(values[4]);
      settings.dialogCenterTop = static_cast<std::int32_t>(values[5]);
      settings.uiLocale = values[6];
    } else {
      changed = true;
    }
    key.Close();
    const Status ended = update.End();
    if (Succeeded(result) && Failed(ended)) {
      // The values written back did not reach the store.
      changed = true;
      result = ended;
    }
  }
  ReportSettingsRecovery(store, context);
  if (changed && settingsChanged != nullptr) *settingsChanged = true;
  return Failed(result) ? result : S_OK;
}

Status SaveWindowSettings(SettingsStore& store, const WindowSettings& settings,
                          const ShowCommandSource& showCommand) {
  UpdateScope update(store);
  WriteCounter count;
  {
    SettingsKey key;
    LT_TRY(store.OpenSettingsKey(IDS_REG_KEY_PATH, &key));
    if (showCommand) {
      std::uint32_t command = 0;
      const Status placement = showCommand(&command);
      if (Failed(placement)) {
        ++count.failed;
      } else {
        count(store.SetDword(key, IDS_REG_APP_WINDOW_STATE, command));
      }
    }
    count(store.SetDword(key, IDS_REG_APP_WINDOW_TOP,
                         static_cast<std::uint32_t>(settings.appWindowTop)));
    count(store.SetDword(key, IDS_REG_APP_WINDOW_LEFT,
                         static_cast<std::uint32_t>(settings.appWindowLeft)));
    count(store.SetDword(key, IDS_REG_APP_WINDOW_HEIGHT,
                         static_cast<std::uint32_t>(settings.appWindowHeight)));
    count(store.SetDword(key, IDS_REG_APP_WINDOW_WIDTH,
                         static_cast<std::uint32_t>(settings.appWindowWidth)));
    count(store.SetDword(key, IDS_REG_DIALOG_CENTER_LEFT,
                         static_cast<std::uint32_t>(settings.dialogCenterLeft)));
    count(store.SetDword(key, IDS_REG_DIALOG_CENTER_TOP,
                         static_cast<std::uint32_t>(settings.dialogCenterTop)));
    count(store.SetDword(key, IDS_REG_UI_LOCALE, settings.uiLocale));
  }
  {
    SettingsKey key;
    if (Failed(store.OpenSettingsKey(IDS_REG_KEY_PATH, &key))) {
      ++count.failed;
    } else {
      count(store.SetBool(key, IDS_REG_STATUS_DISPLAY, settings.statusDisplay ? 1 : 0));
    }
  }
  count(update.End());
  return count.Result();
}

Status LoadNamingSettings(SettingsStore& store, AppContext& context, NamingSettings& settings,
                          WorkingFolderRule* folderRule, bool* settingsChanged) {
  bool changed = false;
  SettingsKey key;
  SettingsKey patterns;
  SettingsKey extensions;
  Status patternsOpened = S_OK;
  Status extensionsOpened = S_OK;
  {
    // The single values and the two subkeys are read and created in one update; the lists are
    // read afterwards, as they may ask the person questions.
    UpdateScope update(store);
    const Status opened = store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key);
    if (Failed(opened)) {
      IgnoreStatus(update.End());  // the key could not be created: nothing was written
      ReportSettingsRecovery(store, context);
      if (folderRule != nullptr) folderRule->Apply(opened, settings.imageFolder);
      if (settingsChanged != nullptr) *settingsChanged = true;
      return opened;
    }

    const Status folder =
        store.GetStringDefaultEmpty(key, IDS_REG_IMAGE_FOLDER, &settings.imageFolder);
    if (NeedsSaving(folder)) changed = true;
    if (folderRule != nullptr) folderRule->Apply(folder, settings.imageFolder);

    struct Flag {
      std::uint16_t id;
      bool* target;
    };
    const Flag flags[] = {
        {IDS_REG_BASE_ON_LAST, &settings.baseOnLast},
        {IDS_REG_SHOW_FILE_PREVIEW, &settings.showFilePreview},
        {IDS_REG_SHOW_WINDOW_TIPS, &settings.showWindowTips},
        {IDS_REG_FILE_CHECK_BEEPS, &settings.fileCheckBeeps},
        {IDS_REG_ADVANCE_AFTER_RENAME, &settings.advanceAfterRename},
        {IDS_REG_RENAME_COMPANIONS, &settings.renameCompanions},
    };
    for (const Flag& flag : flags) {
      if (NeedsSaving(store.GetBoolDefaultTrue(key, flag.id, flag.target))) changed = true;
    }

    // Values out of range are used as 1; the stored value stays until the next save.
    if (NeedsSaving(
            store.GetDword(key, IDS_REG_FILE_NAVIGATION_MODE, 1, &settings.fileNavigationMode))) {
      changed = true;
    }
    if (settings.fileNavigationMode > 2) settings.fileNavigationMode = 1;
    if (NeedsSaving(
            store.GetDword(key, IDS_REG_UPDATE_CHECK_PERIOD, 1, &settings.updateCheckPeriod))) {
      changed = true;
    }
    if (settings.updateCheckPeriod > 3) settings.updateCheckPeriod = 1;

    patternsOpened = store.CreateSettingsKey(&key, IDS_REG_IMAGE_FILE_PATTERNS, &patterns);
    extensionsOpened = store.CreateSettingsKey(&key, IDS_REG_IMAGE_FILE_EXTENSIONS, &extensions);
    if (Failed(update.End())) changed = true;
  }
  ReportSettingsRecovery(store, context);

  if (Failed(patternsOpened)) {
    changed = true;
  } else if (settings.patterns != nullptr &&
             Failed(settings.patterns->LoadFromSettings(store, patterns, context, &changed))) {
    changed = true;
  }
  patterns.Close();
  if (Failed(extensionsOpened)) {
    changed = true;
  } else if (settings.extensions != nullptr &&
             Failed(settings.extensions->LoadFromSettings(store, extensions, context, &changed))) {
    changed = true;
  }
  extensions.Close();

  bool flag = false;
  if (store.GetBoolDefaultFalse(key, IDS_REG_MINIDUMP_AVAILABLE, &flag) == S_OK) {
    settings.minidumpAvailable = flag;
  }
  if (store.GetBoolDefaultFalse(key, IDS_REG_MINIDUMP_ALERT, &flag) == S_OK) {
    settings.minidumpAlert = flag;
  }
  key.Close();
  if (changed && settingsChanged != nullptr) *settingsChanged = true;
  return S_OK;
}

Status SaveNamingSettings(SettingsStore& store, const NamingSettings& settings) {
  UpdateScope update(store);
  WriteCounter count;
  {
    SettingsKey key;
    LT_TRY(store.OpenSettingsKey(IDS_REG_KEY_PATH, &key));
    count(store.SetBool(key, IDS_REG_FILE_CHECK_BEEPS, settings.fileCheckBeeps));
    count(store.SetBool(key, IDS_REG_SHOW_FILE_PREVIEW, settings.showFilePreview));
    count(store.SetBool(key, IDS_REG_SHOW_WINDOW_TIPS, settings.showWindowTips));
    count(store.SetBool(key, IDS_REG_BASE_ON_LAST, settings.baseOnLast));
    count(store.SetBool(key, IDS_REG_ADVANCE_AFTER_RENAME, settings.advanceAfterRename));
    count(store.SetBool(key, IDS_REG_RENAME_COMPANIONS, settings.renameCompanions));
    count(store.SetDword(key, IDS_REG_FILE_NAVIGATION_MODE, settings.fileNavigationMode));
    count(store.SetDword(key, IDS_REG_UPDATE_CHECK_PERIOD, settings.updateCheckPeriod));
    count(store.SetString(key, IDS_REG_IMAGE_FOLDER, &settings.imageFolder));

    // A subkey that is not there yet needs no deleting.
    const auto deleted = [](Status status) {
      return Succeeded(status) || status == E_FILE_NOT_FOUND;
    };
    if (settings.patterns != nullptr) {
      const Status removed = store.DeleteKeyTree(key, IDS_REG_IMAGE_FILE_PATTERNS);
      if (!deleted(removed)) ++count.failed;
      SettingsKey subkey;
      const Status created = store.CreateSettingsKey(&key, IDS_REG_IMAGE_FILE_PATTERNS, &subkey);
      if (Failed(created)) {
        ++count.failed;
      } else if (settings.patterns->SaveToSettings(store, subkey) != S_OK) {
        ++count.failed;
      }
    }
    if (settings.extensions != nullptr) {
      const Status removed = store.DeleteKey(key, IDS_REG_IMAGE_FILE_EXTENSIONS);
      SettingsKey subkey;
      if (!deleted(removed)) {
        ++count.failed;
      } else if (Failed(store.CreateSettingsKey(&key, IDS_REG_IMAGE_FILE_EXTENSIONS, &subkey))) {
        ++count.failed;
      } else if (settings.extensions->SaveToSettings(store, subkey) != S_OK) {
        ++count.failed;
      }
    }
  }
  count(update.End());
  return count.Result();
}

namespace {

// One axis of the fitting rule: the start moves inside [low, high), then the length is cut.
void FitAxis(std::int64_t low, std::int64_t high, std::int64_t& start, std::int64_t& length) {
  if (start < low) {
    start = low;
  } else if (start > high) {
    start = high - length;
  }
  if (start + length > high) {
    start = std::max(low, high - length);
    if (start + length > high) length = high - start;
  }
  // A rectangle wider than the area that started beyond its far edge was moved to start before
  // the area; bring it back and cut it, so that it never ends up off the screen.
  if (start < low) {
    start = low;
    length = high - low;
  }
}

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

WindowRect FitRectangleToWorkArea(WindowRect rect, const WorkArea& area) {
  const std::int64_t areaWidth = static_cast<std::int64_t>(area.right) - area.left;
  const std::int64_t areaHeight = static_cast<std::int64_t>(area.bottom) - area.top;
  std::int64_t left = rect.left;
  std::int64_t top = rect.top;
  std::int64_t width = rect.width;
  std::int64_t height = rect.height;
  if (rect.width == kDefaultWindowPosition) {
    width = areaWidth / 2;
    height = areaHeight / 2;
  }
  if (rect.left == kDefaultWindowPosition) {
    left = area.left + (areaWidth - width) / 2;
    top = area.top + (areaHeight - height) / 2;
  }
  FitAxis(area.left, area.right, left, width);
  FitAxis(area.top, area.bottom, top, height);
  return {Clamp32(left), Clamp32(top), Clamp32(width), Clamp32(height)};
}

}  // namespace lumatag
