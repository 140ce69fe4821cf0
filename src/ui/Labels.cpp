#include "ui/Labels.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ports/DocumentOpener.h"

namespace lumatag::ui {

QColor SampleLabel::ErrorColour() {
  return {190, 20, 20};
}

SampleLabel::SampleLabel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setTextFormat(Qt::PlainText);
  setMargin(2);
}

void SampleLabel::SetSample(const QString& text, bool error) {
  setText(text);
  SetErrorStyle(error);
}

void SampleLabel::SetErrorStyle(bool error) {
  error_ = error;
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText,
                   error ? ErrorColour() : QWidget::palette().color(QPalette::Text));
  setPalette(colours);
  QFont f = font();
  f.setItalic(error);
  setFont(f);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  Restyle();
}

void LinkLabel::SetTarget(DocumentOpener* opener, std::u16string url) {
  opener_ = opener;
  url_ = std::move(url);
}

void LinkLabel::SetErrorStyle(bool error) {
  error_ = error;
  Restyle();
}

void LinkLabel::Restyle() {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText,
                   error_ ? SampleLabel::ErrorColour() : colours.color(QPalette::Link));
  setPalette(colours);
  QFont f = font();
  f.setUnderline(!error_);
  setFont(f);
}

void LinkLabel::Activate() {
  emit activated();
  if (opener_ != nullptr && !url_.empty()) {
    (void)opener_->OpenUrl(url_);
  }
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Activate();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter) {
    Activate();
    return;
  }
  QLabel::keyPressEvent(event);
}

InsertionMarker::InsertionMarker(QLineEdit* edit, QWidget* parent) : QWidget(parent), edit_(edit) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize InsertionMarker::sizeHint() const {
  return {40, fontMetrics().height() / 2 + 3};
}

void InsertionMarker::SetPosition(int index) {
  position_ = index;
  update();
}

int InsertionMarker::MarkerX() const {
  if (edit_ == nullptr) return 0;
  // The caret's place on screen is known (it accounts for the edit's margins and scrolling); other
  // positions are measured from it.
  const QString text = edit_->displayText();
  const int index = std::clamp(position_, 0, static_cast<int>(text.size()));
  const int caret = std::clamp(edit_->cursorPosition(), 0, static_cast<int>(text.size()));
  const QFontMetrics metrics(edit_->font());
  const QRect caretRect = edit_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  int x = caretRect.center().x() + metrics.horizontalAdvance(text.left(index)) -
          metrics.horizontalAdvance(text.left(caret));
  x = std::clamp(x, edit_->contentsRect().left(), edit_->contentsRect().right());
  const QPoint inWindow = edit_->mapTo(window(), QPoint(x, 0));
  return mapFrom(window(), inWindow).x();
}

void InsertionMarker::paintEvent(QPaintEvent*) {
  if (edit_ == nullptr || !isEnabled()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal x = MarkerX() + 0.5;
  const qreal h = height() - 1;
  const qreal half = std::max<qreal>(3, h * 0.6);
  QPainterPath arrow;
  arrow.moveTo(x, 0.5);
  arrow.lineTo(x + half, h);
  arrow.lineTo(x - half, h);
  arrow.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette().color(QPalette::Highlight));
  painter.drawPath(arrow);
}

}  // namespace lumatag::ui
