// Shows or hides every tooltip of the program at once ("Show Window Tips"). Installed as an event
// filter on the application; while off, tooltip requests are swallowed and a shown tip is hidden.
#pragma once

#include <QObject>

namespace lumatag::ui {

class TooltipSwitch : public QObject {
 public:
  // Installs itself on the running application.
  explicit TooltipSwitch(bool enabled = true, QObject* parent = nullptr);
  ~TooltipSwitch() override;

  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool enabled_;
};

}  // namespace lumatag::ui
