// The keyboard accelerators of the main window. They are looked at before anything else sees the
// key, so Alt+F is the Folder button rather than the File menu, and Alt+H the photo box.
#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

namespace lumatag::shell {

// The command of a key with its modifiers, 0 when the key is no accelerator.
int AcceleratorCommand(int key, Qt::KeyboardModifiers modifiers);

class KeyboardRouter final : public QObject {
  Q_OBJECT
 public:
  // Routes the accelerators of keys pressed in `window` (not in its dialogs) to `run`.
  KeyboardRouter(QWidget* window, std::function<void(int command)> run);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<void(int)> run_;
};

}  // namespace lumatag::shell
