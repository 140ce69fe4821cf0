// The base of every dialog: one commit protocol, the dialog-owned message forms, remembered
// placement, F1 to the dialog's help context, a tooltip table, and running with end codes.
//
// A dialog derives from DialogBase, builds its controls in its constructor, fills them in
// InitDialog and stores them in Commit:
//   - OK calls Commit. Success ends the dialog with IDOK. E_INVALID_INPUT (the dialog has told the
//     person why) keeps it open. Another failure shows "An unexpected error occurred while storing
//     the dialog settings." and keeps it open when Commit said it may not close; when it may, it
//     shows the "... The dialog has been cancelled." form and ends with kEndCommitFailed.
//   - Cancel, Escape and the close box end the dialog with IDCANCEL at once.
// RunDialog runs it through a DialogRunner and turns the end code into a status.
#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "foundation/Status.h"
#include "ports/MessagePresenter.h"
#include "ui/UiContext.h"

namespace lumatag::ui {

// End codes besides IDOK (1) and IDCANCEL (2).
inline constexpr int kEndCreateFailed = -1;  // the dialog could not be created
inline constexpr int kEndInitFailed = -2;    // its initialisation failed
inline constexpr int kEndCommitFailed = -3;  // storing its settings failed; already reported

class DialogBase : public QDialog {
 public:
  DialogBase(UiContext& ui, QWidget* owner);

  UiContext& Ui() const { return ui_; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int helpContext) { helpContext_ = helpContext; }
  int ActivityState() const { return activityState_; }
  void SetActivityState(int state) { activityState_ = state; }
  void SetFirstFocus(QWidget* widget) { firstFocus_ = widget; }

  // Initialises the controls, places the dialog and focuses its first control, as a dialog does
  // when it opens. False when initialisation failed: the dialog has then ended with
  // kEndInitFailed.
  bool Start();
  bool Ended() const { return ended_; }
  int EndCode() const { return endCode_; }

  // The tooltip of each control, by string-table id. A text that cannot be loaded leaves its
  // control without a tooltip: the dialog works the same without one.
  void SetTooltips(std::initializer_list<std::pair<QWidget*, std::uint16_t>> table);

  // Dialog-owned message forms: the dialog is disabled while the box is up, then enabled again and
  // brought to the front. Each returns what its front-end returns.
  int AskYesNo(std::uint16_t id, const char16_t* text = nullptr);
  Status ShowErrorMessage(std::uint16_t id);
  int ShowMessage(std::u16string_view text, std::uint32_t flags);

  // The common report of a failed command: "An error occurred that prevented the control contents
  // and states from being properly updated." unless the failure was E_CANCELLED or
  // E_INVALID_INPUT. The second form says the dialog will be cancelled, and cancels it.
  void ReportCommandFailure(Status status);
  void ReportCommandFailureAndCancel(Status status);

  // The OK and Cancel of the commit protocol.
  void accept() override;
  void reject() override;
  void done(int endCode) override;

 protected:
  // Fills the controls. A failure ends the dialog with kEndInitFailed.
  virtual Status InitDialog() { return S_OK; }
  // Stores the dialog's settings. `mayClose` (true on entry) says whether the dialog may close
  // after a failure other than E_INVALID_INPUT.
  virtual Status Commit(bool* mayClose) {
    (void)mayClose;
    return S_OK;
  }

  void keyPressEvent(QKeyEvent* event) override;

 private:
  template <typename F>
  auto Owned(F&& show);
  void Place();

  UiContext& ui_;
  int helpContext_ = 0;
  int activityState_ = kActivityDialog;
  QPointer<QWidget> firstFocus_;
  bool ended_ = false;
  int endCode_ = 0;
};

// Runs a started dialog until it ends and returns its end code. The modal runner is the
// program's; tests use a scripted one.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual int Run(DialogBase& dialog) = 0;
};

// Runs the dialog modally (its own event loop).
class ModalDialogRunner final : public DialogRunner {
 public:
  int Run(DialogBase& dialog) override;
};

// Starts and shows the dialog without an event loop of its own, calls the script (which clicks,
// types and checks), and returns the end code. A dialog still open after the script is cancelled.
class ScriptedDialogRunner final : public DialogRunner {
 public:
  using Script = std::function<void(DialogBase& dialog)>;
  explicit ScriptedDialogRunner(Script script) : script_(std::move(script)) {}
  int Run(DialogBase& dialog) override;

 private:
  Script script_;
};

// Runs a dialog: the activity state is the dialog's while it runs; when it ends (other than with
// kEndInitFailed) its centre is stored relative to the main window and the settings are marked
// changed. IDCANCEL gives E_CANCELLED; any other positive end code S_OK; kEndCreateFailed and
// kEndInitFailed (and 0) give E_FAIL after "The dialog could not be shown."; kEndCommitFailed
// gives E_FAIL without a message. `endCode` may be null.
Status RunDialog(DialogRunner& runner, DialogBase& dialog, int* endCode = nullptr);

// The main window's drawing failure: "An error occurred that prevented the application window
// from redrawing properly.".
Status ReportRedrawFailure(AppContext& context);

}  // namespace lumatag::ui
