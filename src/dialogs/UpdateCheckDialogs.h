// The two update dialogs as widgets over their models: Check for Updates (the last check, "Check
// for Updates Now...", the automatic period) and Update Available (the version, the download link,
// the version history).
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <array>
#include <functional>

#include "ui/DialogBase.h"
#include "ui/Labels.h"
#include "update/UpdateDialogs.h"

namespace lumatag {

class CheckForUpdatesDialog final : public ui::DialogBase {
 public:
  // "Check for Updates Now..." runs an interactive check in `environment` (whose store holds
  // "Update Check Last"); dates are shown in `locale`.
  CheckForUpdatesDialog(ui::UiContext& ui, QWidget* owner, CheckForUpdatesDialogModel& model,
                        UpdateCheckEnvironment& environment, const DateLocale& locale);

  QLabel* LastCheck() const { return lastCheck_; }
  QPushButton* CheckNowButton() const { return checkNow_; }
  // The radio button of a control id (104 to 107).
  QRadioButton* Radio(int controlId) const;
  QPushButton* CloseButton() const { return close_; }
  void CheckNow();

 protected:
  Status InitDialog() override;

 private:
  CheckForUpdatesDialogModel& model_;
  UpdateCheckEnvironment& environment_;
  const DateLocale& locale_;
  QLabel* lastCheck_ = nullptr;
  QPushButton* checkNow_ = nullptr;
  std::array<QRadioButton*, 4> radios_{};
  QPushButton* close_ = nullptr;
};

class UpdateAvailableDialog final : public ui::DialogBase {
 public:
  // `open` hands a checked web address to the desktop.
  UpdateAvailableDialog(ui::UiContext& ui, QWidget* owner, const UpdateAvailableModel& model,
                        std::function<Status(std::u16string_view)> open);

  QLabel* VersionLabel() const { return version_; }
  ui::LinkLabel* Link() const { return link_; }
  QTreeWidget* History() const { return history_; }

 private:
  const UpdateAvailableModel& model_;
  std::function<Status(std::u16string_view)> open_;
  QLabel* version_ = nullptr;
  ui::LinkLabel* link_ = nullptr;
  QTreeWidget* history_ = nullptr;
};

// The Update Available dialog as the check shows it: built from the check's findings and run
// through `runner`.
class DialogUpdateAvailableView final : public UpdateAvailableView {
 public:
  DialogUpdateAvailableView(ui::DialogRunner& runner, ui::UiContext& ui, QWidget* owner,
                            const DateLocale& locale,
                            std::function<Status(std::u16string_view)> open)
      : runner_(runner), ui_(ui), owner_(owner), locale_(locale), open_(std::move(open)) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  Status Show(const VersionInfo& info, bool* created) override;

 private:
  ui::DialogRunner& runner_;
  ui::UiContext& ui_;
  QWidget* owner_;
  const DateLocale& locale_;
  std::function<Status(std::u16string_view)> open_;
};

}  // namespace lumatag
