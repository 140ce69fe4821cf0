#include "ui/PictureControl.h"

#include <QPainter>
#include <QResizeEvent>

#include "foundation/StringTable.h"
#include "ui/PreviewDecoder.h"
#include "ui/QtText.h"

namespace lumatag::ui {

PictureControl::PictureControl(AppContext& context, QWidget* parent)
    : QFrame(parent), context_(context) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setMinimumSize(32, 32);
}

QSize PictureControl::BoxInDevicePixels() const {
  // A control not laid out yet decodes for its usual size rather than the whole photo.
  QSize box = contentsRect().size();
  if (box.isEmpty()) box = sizeHint();
  return box * devicePixelRatio();
}

Status PictureControl::SetImageFile(const QString& path, int orientation) {
  path_ = path;
  orientation_ = orientation;
  image_ = {};
  text_.clear();
  const Status status = Decode();
  update();
  return status;
}

Status PictureControl::Decode() {
  PreviewImage preview;
  ++decodeCount_;
  if (Succeeded(DecodePreview(path_, BoxInDevicePixels(), orientation_, &preview))) {
    image_ = std::move(preview.image);
    image_.setDevicePixelRatio(devicePixelRatio());
    uprightSize_ = preview.uprightSize;
    return S_OK;
  }
  image_ = {};
  const QString name = path_;
  path_.clear();
  QString message;
  LT_TRY(LoadText(*context_.resourceModule, IDS_IMAGE_LOAD_FAILED, &message, {name}));
  text_ = message;
  return S_FALSE;
}

void PictureControl::SetText(const QString& text) {
  path_.clear();
  image_ = {};
  text_ = text;
  update();
}

void PictureControl::Clear() {
  SetText({});
}

QRect PictureControl::ImageRect() const {
  if (image_.isNull()) return {};
  const QRect area = contentsRect();
  QSize shown = image_.deviceIndependentSize().toSize().scaled(area.size(), Qt::KeepAspectRatio);
  QRect rect(QPoint(0, 0), shown);
  rect.moveCenter(area.center());
  return rect;
}

void PictureControl::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  if (path_.isEmpty() || image_.isNull()) return;
  // Decode again only when the control has outgrown the decoded image and the photo has more
  // pixels to give.
  const QSize box = BoxInDevicePixels();
  const QSize wanted = uprightSize_.scaled(box, Qt::KeepAspectRatio).boundedTo(uprightSize_);
  if (wanted.width() > image_.width() || wanted.height() > image_.height()) {
    // An image that cannot be decoded larger keeps its current picture.
    IgnoreStatus(Decode());
    update();
  }
}

void PictureControl::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  if (!image_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(ImageRect(), image_);
  } else if (!text_.isEmpty()) {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(contentsRect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                     text_);
  }
}

}  // namespace lumatag::ui
