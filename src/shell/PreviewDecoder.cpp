#include "shell/PreviewDecoder.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTransform>

namespace lumatag::shell {

QImage OrientImage(const QImage& image, int orientation) {
  // Rotation first, then the mirror. 5 (transpose) is a quarter turn clockwise and a mirror, 7
  // (transverse) three quarters and a mirror, so that a mirrored portrait stands upright.
  int degrees = 0;
  bool mirror = false;
  switch (orientation) {
    case 2:
      mirror = true;
      break;
    case 3:
      degrees = 180;
      break;
    case 4:
      degrees = 180;
      mirror = true;
      break;
    case 5:
      degrees = 90;
      mirror = true;
      break;
    case 6:
      degrees = 90;
      break;
    case 7:
      degrees = 270;
      mirror = true;
      break;
    case 8:
      degrees = 270;
      break;
    default:
      return image;
  }
  QImage turned = degrees == 0 ? image : image.transformed(QTransform().rotate(degrees));
  return mirror ? turned.mirrored(true, false) : turned;
}

QSize DecodeBoxFor(QSize box, int orientation) {
  return orientation >= 5 && orientation <= 8 ? box.transposed() : box;
}

QImage DecodePreview(const QString& path, int orientation, QSize box) {
  QImageReader reader(path);
  reader.setAutoTransform(false);
  const QSize full = reader.size();
  const QSize target = DecodeBoxFor(box, orientation);
  if (full.isValid() && target.isValid() && !target.isEmpty() &&
      (full.width() > target.width() || full.height() > target.height())) {
    reader.setScaledSize(full.scaled(target, Qt::KeepAspectRatio));
  }
  QImage image = reader.read();
  if (image.isNull()) return image;
  return OrientImage(image, orientation);
}

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

PreviewWidget::~PreviewWidget() {
  if (ahead_.valid()) ahead_.wait();
}

QSize PreviewWidget::ImageBox() const {
  const QSize inner = contentsRect().adjusted(3, 3, -3, -3).size();
  return inner * devicePixelRatioF();
}

void PreviewWidget::Decode() {
  const QSize box = ImageBox();
  decodedFor_ = box;
  text_.clear();
  if (ahead_.valid() && aheadPath_ == path_ && aheadOrientation_ == orientation_ &&
      aheadBox_ == box) {
    image_ = ahead_.get();
    aheadPath_.clear();
  } else {
    image_ = DecodePreview(path_, orientation_, box);
  }
  if (image_.isNull()) {
    QString text = loadFailed_;
    text.replace(QStringLiteral("{1}"), QFileInfo(path_).fileName());
    text_ = text;
  }
}

void PreviewWidget::ShowPhoto(const QString& path, int orientation) {
  path_ = path;
  orientation_ = orientation;
  Decode();
  update();
}

void PreviewWidget::ShowText(const QString& text) {
  path_.clear();
  image_ = QImage();
  text_ = text;
  update();
}

void PreviewWidget::Clear() {
  ShowText(QString());
}

void PreviewWidget::ReadAhead(const QString& path, int orientation) {
  const QSize box = ImageBox();
  if (path.isEmpty() ||
      (path == aheadPath_ && orientation == aheadOrientation_ && box == aheadBox_))
    return;
  if (ahead_.valid()) ahead_.wait();
  aheadPath_ = path;
  aheadOrientation_ = orientation;
  aheadBox_ = box;
  ahead_ = std::async(std::launch::async,
                      [path, orientation, box] { return DecodePreview(path, orientation, box); });
}

void PreviewWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A larger box needs a sharper decode; a smaller one is drawn scaled down.
  const QSize box = ImageBox();
  if (!path_.isEmpty() &&
      (box.width() > decodedFor_.width() || box.height() > decodedFor_.height())) {
    Decode();
  }
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.frameShape = QFrame::StyledPanel;
  frame.lineWidth = 1;
  frame.state |= QStyle::State_Sunken;
  style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
  const QRect inner = contentsRect().adjusted(3, 3, -3, -3);
  const bool withImage = !image_.isNull();
  if (withImage) {
    const QSize shown = image_.size().scaled(inner.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), shown);
    target.moveCenter(inner.center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
  } else if (!text_.isEmpty()) {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(inner, Qt::AlignCenter | Qt::TextWordWrap, text_);
  }
  painter.end();
  emit painted(withImage);
}

}  // namespace lumatag::shell
