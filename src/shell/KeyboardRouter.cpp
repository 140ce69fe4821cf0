#include "shell/KeyboardRouter.h"

#include <QApplication>
#include <QKeyEvent>

#include "shell/ShellCommands.h"

namespace lumatag::shell {

int AcceleratorCommand(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
  if (mods == Qt::AltModifier || mods == (Qt::AltModifier | Qt::ShiftModifier)) {
    // "?" is Shift+/ on most layouts.
    if (key == Qt::Key_Question || key == Qt::Key_Slash) return kCmdAbout;
  }
  if (mods == Qt::AltModifier) {
    switch (key) {
      case Qt::Key_F4:
        return kCmdExit;
      case Qt::Key_F:
        return kCmdActivateBase + kFolderButton;
      case Qt::Key_S:
        return kCmdActivateBase + kFirstButton;
      case Qt::Key_P:
        return kCmdActivateBase + kPreviousButton;
      case Qt::Key_X:
        return kCmdActivateBase + kNextButton;
      case Qt::Key_L:
        return kCmdActivateBase + kLastButton;
      case Qt::Key_D:
        return kCmdActivateBase + kDeleteButton;
      case Qt::Key_H:
        return kCmdActivateBase + kPhotoBox;
      case Qt::Key_N:
        return kCmdActivateBase + kNavigationBox;
      case Qt::Key_T:
        return kCmdActivateBase + kPatternBox;
      case Qt::Key_B:
        return kCmdActivateBase + kBaseNameBox;
      case Qt::Key_W:
        return kCmdActivateBase + kNewNameBox;
      case Qt::Key_R:
        return kCmdActivateBase + kRenameButton;
      case Qt::Key_A:
        return kCmdActivateBase + kRenameRemainingButton;
      default:
        return 0;
    }
  }
  if ((mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) &&
      key == Qt::Key_A) {
    return kCmdSelectAll;
  }
  if (mods == Qt::ControlModifier && key == Qt::Key_Z) return kCmdUndoRename;
  if (mods == Qt::NoModifier && key == Qt::Key_F1) return kCmdHelp;
  return 0;
}

KeyboardRouter::KeyboardRouter(QWidget* window, std::function<void(int)> run)
    : QObject(window), window_(window), run_(std::move(run)) {}

bool KeyboardRouter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != window_) return false;
  if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr)
    return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const int command = AcceleratorCommand(key->key(), key->modifiers());
  if (command == 0) return false;
  if (type == QEvent::ShortcutOverride) {
    // Claiming the key keeps menu mnemonics and other shortcuts from taking it; the key press
    // that follows runs the command.
    event->accept();
    return true;
  }
  run_(command);
  return true;
}

}  // namespace lumatag::shell
