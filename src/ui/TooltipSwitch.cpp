#include "ui/TooltipSwitch.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>

namespace lumatag::ui {

TooltipSwitch::TooltipSwitch(bool enabled, QObject* parent) : QObject(parent), enabled_(enabled) {
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->installEventFilter(this);
}

TooltipSwitch::~TooltipSwitch() {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(this);
  }
}

void TooltipSwitch::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) return;
  // QToolTip hides its label after a delay; a switched-off tip goes at once.
  QToolTip::hideText();
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("QTipLabel")) widget->hide();
  }
}

bool TooltipSwitch::eventFilter(QObject* watched, QEvent* event) {
  if (!enabled_ && event->type() == QEvent::ToolTip) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace lumatag::ui
