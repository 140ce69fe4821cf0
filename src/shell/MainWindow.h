// The main window: five numbered steps (folder, preview, pattern, base name, new name) with the
// navigation and rename controls, the menu bar, the status bar and tooltips. It shows what the
// workflow holds when asked (WorkflowView) and routes every command to the workflow or the shell.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <vector>

#include "ports/SettingsRecords.h"
#include "shell/ShellCommands.h"
#include "workflow/WorkflowView.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPixmap;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace lumatag::shell {

class BackgroundScan;
class KeyboardRouter;
class PathLabel;
class PhotoListModel;
class PreviewWidget;
class ShellApplication;

class MainWindow final : public QMainWindow, public WorkflowView {
  Q_OBJECT
 public:
  explicit MainWindow(ShellApplication& app);
  ~MainWindow() override;

  // Creates the menu, the controls and the status bar; false when that failed.
  bool Build();

  // WorkflowView.
  void RefreshWindowState(std::uint32_t mask) override;
  void FillBoxes(std::uint32_t mask) override;
  void ReleasePreview() override;
  void SetWaitCursor(bool waiting) override;
  // Scans run on a worker thread while the window keeps drawing (BackgroundScan).
  ScanOutcome RunScan(const ScanJob& job, const ScanControl& control) override;

  // Runs a command as the menu, an accelerator or a control gives it.
  void RunCommand(int command);

  // Placement: shows the window at the stored place fitted to its screen (maximised when stored
  // so); takes the current place into the record and says whether it differs.
  void RestorePlacement(const WindowSettings& settings);
  bool TakePlacement(WindowSettings& settings) const;
  // 3 when maximised, else 1 (the show commands stored as "App Window State").
  std::uint32_t ShowCommand() const;

  // The progress of a folder scan in the status bar: nothing for the first half second, then a
  // progress bar (`total` 0: of unknown length) and a Cancel button, until the scan ends.
  void BeginScanProgress();
  void UpdateScanProgress(int done, int total);
  void EndScanProgress();
  bool ScanProgressShown() const;
  bool ScanRunning() const;
  QPushButton* ScanCancelButton() const { return scanCancel_; }

  // Tooltips follow "Show Window Tips"; the status bar follows "Status Display".
  void ApplyWindowTips(bool on);
  void ApplyStatusDisplay(bool on);

  // The control of a number (tests and help look them up).
  QWidget* Control(int number) const { return controls_[static_cast<std::size_t>(number)]; }
  PreviewWidget* Preview() const { return preview_; }
  QAction* MenuAction(int command) const;
  QLabel* StatusText() const { return statusText_; }
  // The help context number of a control, 0 when it has none.
  static int HelpIdOf(int control);
  // A picture of one of the five steps (1 to 5): the band of the window from the step's heading
  // down to the next step's heading (the last one down to the status bar). Empty for another
  // number. The user guide shows these.
  QPixmap StepPicture(int step) const;

 signals:
  // Once, after the first preview has been drawn (or the window with nothing to preview).
  void firstPreviewPainted();
  // Cancel was pressed beside the scan's progress bar.
  void scanCancelRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();
  QWidget* BuildSteps();
  void ConnectControls();
  void RefreshPreview();
  void OnBaseNameLeft();
  void OnPreviewPainted(bool withImage);
  QString Text(std::uint16_t id) const;
  void ShowHelpTopic(int helpId);

  ShellApplication& app_;
  std::array<QWidget*, kControlCount> controls_{};
  std::array<QString, kControlCount> tips_{};
  QPushButton* folderButton_ = nullptr;
  PathLabel* folderPath_ = nullptr;
  PreviewWidget* preview_ = nullptr;
  std::array<QToolButton*, 5> smallButtons_{};
  QComboBox* navigationBox_ = nullptr;
  QLabel* photoIndex_ = nullptr;
  QLabel* unnamedCount_ = nullptr;
  QComboBox* photoBox_ = nullptr;
  PhotoListModel* photoModel_ = nullptr;
  QComboBox* patternBox_ = nullptr;
  QComboBox* baseNameBox_ = nullptr;
  QLineEdit* newNameBox_ = nullptr;
  QPushButton* renameButton_ = nullptr;
  QPushButton* renameRemainingButton_ = nullptr;
  QLabel* statusText_ = nullptr;
  QProgressBar* scanProgress_ = nullptr;
  QPushButton* scanCancel_ = nullptr;
  qint64 scanStarted_ = -1;
  bool statusBarForScan_ = false;
  BackgroundScan* scan_ = nullptr;
  // The window was asked to close while a scan ran: it closes once the scan has stopped.
  bool closeAfterScan_ = false;
  KeyboardRouter* router_ = nullptr;
  std::vector<std::pair<int, QAction*>> actions_;
  // Catalogue index of each pattern box row; base-name list index of each base-name box row.
  std::vector<int> patternRows_;
  std::vector<int> baseNameRows_;
  bool baseNameTyped_ = false;
  bool firstPaintReported_ = false;
  bool expectImage_ = false;
  bool closing_ = false;
};

}  // namespace lumatag::shell
