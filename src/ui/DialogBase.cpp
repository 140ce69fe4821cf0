#include "ui/DialogBase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

#include "foundation/StringIds.h"
#include "ports/Messages.h"
#include "ui/DialogPlacement.h"
#include "ui/QtText.h"

namespace lumatag::ui {
namespace {

WindowRect ToWindowRect(const QRect& r) {
  return {r.left(), r.top(), r.width(), r.height()};
}

WorkArea ToWorkArea(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// The screen nearest to a point, or the primary one.
QScreen* ScreenNearest(QPoint point) {
  if (QScreen* screen = QGuiApplication::screenAt(point)) return screen;
  QScreen* nearest = QGuiApplication::primaryScreen();
  qint64 best = -1;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    const qint64 dx = std::max({0, g.left() - point.x(), point.x() - g.right()});
    const qint64 dy = std::max({0, g.top() - point.y(), point.y() - g.bottom()});
    const qint64 distance = dx * dx + dy * dy;
    if (best < 0 || distance < best) {
      best = distance;
      nearest = screen;
    }
  }
  return nearest;
}

}  // namespace

DialogBase::DialogBase(UiContext& ui, QWidget* owner) : QDialog(owner), ui_(ui) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

template <typename F>
auto DialogBase::Owned(F&& show) {
  setEnabled(false);
  auto result = show();
  setEnabled(true);
  raise();
  activateWindow();
  return result;
}

int DialogBase::AskYesNo(std::uint16_t id, const char16_t* text) {
  return Owned([&] { return lumatag::AskYesNo(ui_.app, id, text); });
}

Status DialogBase::ShowErrorMessage(std::uint16_t id) {
  return Owned([&] { return lumatag::ShowErrorMessage(ui_.app, id); });
}

int DialogBase::ShowMessage(std::u16string_view text, std::uint32_t flags) {
  const std::u16string copy(text);
  return Owned([&] { return lumatag::ShowMessage(ui_.app, copy.c_str(), flags); });
}

void DialogBase::ReportCommandFailure(Status status) {
  if (Succeeded(status) || status == E_CANCELLED || status == E_INVALID_INPUT) return;
  // A message that cannot be shown leaves nothing more to do.
  IgnoreStatus(ShowErrorMessage(IDS_CONTROLS_NOT_UPDATED));
}

void DialogBase::ReportCommandFailureAndCancel(Status status) {
  if (Succeeded(status)) return;
  if (status != E_CANCELLED && status != E_INVALID_INPUT) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(IDS_CONTROLS_NOT_UPDATED_CANCELLED));
  }
  reject();
}

void DialogBase::SetTooltips(std::initializer_list<std::pair<QWidget*, std::uint16_t>> table) {
  for (const auto& [widget, id] : table) {
    QString tip;
    if (Succeeded(LoadText(*ui_.app.resourceModule, id, &tip))) widget->setToolTip(tip);
  }
}

bool DialogBase::Start() {
  ended_ = false;
  endCode_ = 0;
  if (Failed(InitDialog())) {
    done(kEndInitFailed);
    return false;
  }
  Place();
  if (firstFocus_ != nullptr) firstFocus_->setFocus(Qt::OtherFocusReason);
  return true;
}

void DialogBase::Place() {
  ensurePolished();
  if (!testAttribute(Qt::WA_Resized)) adjustSize();
  const QWidget* main = ui_.mainWindow.data();
  // Before the dialog is first shown its frame is not known yet; the main window's frame is the
  // best guess of what the window manager adds.
  QSize frame = frameGeometry().size() - this->size();
  if (frame.isNull() && !isVisible()) {
    const QWidget* framed = main;
    if (framed == nullptr) {
      for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() && w->frameGeometry().size() != w->size()) framed = w;
      }
    }
    if (framed != nullptr) frame = framed->frameGeometry().size() - framed->size();
  }
  const QSize size = this->size() + frame;
  WindowRect mainRect;
  QScreen* screen = nullptr;
  if (main != nullptr) {
    mainRect = ToWindowRect(main->frameGeometry());
    screen = ScreenNearest(main->frameGeometry().center());
  } else {
    const bool storedPosition = ui_.window.appWindowLeft != kDefaultWindowPosition;
    screen = storedPosition
                 ? ScreenNearest(QPoint(ui_.window.appWindowLeft, ui_.window.appWindowTop))
                 : QGuiApplication::primaryScreen();
  }
  if (screen == nullptr) return;
  const WindowRect opening =
      DialogOpeningRect(size.width(), size.height(), main != nullptr ? &mainRect : nullptr,
                        ui_.window.dialogCenterLeft, ui_.window.dialogCenterTop,
                        ToWorkArea(screen->availableGeometry()));
  QScreen* target = ScreenNearest(QPoint(opening.left, opening.top));
  const WindowRect fitted =
      FitRectangleToWorkArea(opening, ToWorkArea(target->availableGeometry()));
  move(fitted.left, fitted.top);
  if (fitted.width < size.width() || fitted.height < size.height()) {
    resize(fitted.width - frame.width(), fitted.height - frame.height());
  }
}

void DialogBase::accept() {
  bool mayClose = true;
  const Status status = Commit(&mayClose);
  if (Succeeded(status)) {
    done(IDOK);
    return;
  }
  // The person has been told, or answered No: the dialog stays open for another try.
  if (status == E_INVALID_INPUT || status == E_CANCELLED) return;
  if (!mayClose) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(IDS_DIALOG_SETTINGS_NOT_STORED));
    return;
  }
  // A message that cannot be shown leaves nothing more to do.
  IgnoreStatus(ShowErrorMessage(IDS_DIALOG_SETTINGS_NOT_STORED_CANCELLED));
  done(kEndCommitFailed);
}

void DialogBase::reject() {
  done(IDCANCEL);
}

void DialogBase::done(int endCode) {
  ended_ = true;
  endCode_ = endCode;
  QDialog::done(endCode);
}

void DialogBase::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    if (ui_.showHelp && helpContext_ != 0) ui_.showHelp(helpContext_);
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

int ModalDialogRunner::Run(DialogBase& dialog) {
  if (!dialog.Start()) return dialog.EndCode();
  dialog.exec();
  return dialog.Ended() ? dialog.EndCode() : IDCANCEL;
}

int ScriptedDialogRunner::Run(DialogBase& dialog) {
  if (!dialog.Start()) return dialog.EndCode();
  dialog.show();
  if (script_) script_(dialog);
  if (!dialog.Ended()) dialog.reject();
  return dialog.EndCode();
}

Status RunDialog(DialogRunner& runner, DialogBase& dialog, int* endCode) {
  UiContext& ui = dialog.Ui();
  const int previous = ui.app.activityState;
  ui.app.activityState = dialog.ActivityState();
  const int code = runner.Run(dialog);
  ui.app.activityState = previous;
  if (endCode != nullptr) *endCode = code;

  // A dialog that never opened has no place to remember.
  if (code != kEndInitFailed && code != kEndCreateFailed && ui.mainWindow != nullptr) {
    DialogCentreOf(ToWindowRect(dialog.frameGeometry()),
                   ToWindowRect(ui.mainWindow->frameGeometry()), &ui.window.dialogCenterLeft,
                   &ui.window.dialogCenterTop);
    ui.settingsChanged = true;
  }
  if (code == IDCANCEL) return E_CANCELLED;
  if (code > 0) return S_OK;
  if (code == kEndCommitFailed) return E_FAIL;
  if (code == kEndCreateFailed) {
    (void)ShowStatusError(ui.app, E_FAIL, IDS_DIALOG_NOT_SHOWN);
  } else {
    (void)lumatag::ShowErrorMessage(ui.app, IDS_DIALOG_NOT_SHOWN);
  }
  return E_FAIL;
}

Status ReportRedrawFailure(AppContext& context) {
  return ShowErrorMessage(context, IDS_WINDOW_NOT_REDRAWN);
}

}  // namespace lumatag::ui
