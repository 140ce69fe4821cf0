#include "shell/PatternsCommand.h"

#include <QDateTime>

#include "dialogs/PatternDialogs.h"
#include "ports/Messages.h"
#include "shell/MainWindow.h"
#include "shell/ShellApplication.h"

namespace lumatag::shell {

namespace {

SystemTime LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  SystemTime result;
  result.year = static_cast<std::uint16_t>(date.year());
  result.month = static_cast<std::uint16_t>(date.month());
  result.dayOfWeek = static_cast<std::uint16_t>(date.dayOfWeek() % 7);  // Sunday is 0
  result.day = static_cast<std::uint16_t>(date.day());
  result.hour = static_cast<std::uint16_t>(time.hour());
  result.minute = static_cast<std::uint16_t>(time.minute());
  result.second = static_cast<std::uint16_t>(time.second());
  result.milliseconds = static_cast<std::uint16_t>(time.msec());
  return result;
}

}  // namespace

Status RunPatternsCommand(ShellApplication& app, ui::DialogRunner& runner) {
  Application& host = app.Host();
  SettingsCopy copy;
  if (Failed(host.CopySettings(&copy))) {
    IgnoreStatus(ShowErrorMessage(host.Context(), IDS_DIALOG_NOT_SHOWN));
    return E_INVALID_INPUT;
  }
  const std::uint16_t current = app.Workflow().Naming().pattern;
  const int currentIndex =
      current != kNoPatternIndex && current < host.Catalogue().Count() ? current : -1;
  PatternDialogsHost dialogs{app.Ui(), runner, host.Keywords(), LocalNow()};
  int editedCurrent = -1;
  const Status shown = RunPatternsManager(dialogs, app.Window(), host.Catalogue(), currentIndex,
                                          &copy.patterns, &editedCurrent);
  app.TakeDialogSettingsMark();
  if (Failed(shown)) return shown;  // reported by the manager
  copy.currentPattern = editedCurrent;
  SettingsApplied applied;
  if (Failed(host.ApplySettingsCopy(copy, &applied))) {
    IgnoreStatus(ShowErrorMessage(host.Context(), IDS_ERR_CHANGING_PATTERNS));
    return E_INVALID_INPUT;
  }
  app.ShowAppliedSettings(applied);
  return S_OK;
}

}  // namespace lumatag::shell
