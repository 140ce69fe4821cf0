#include "ui/PreviewDecoder.h"

#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

#include "ui/Orientation.h"

namespace lumatag::ui {
namespace {

// Raises the image reader's allocation limit (process-wide) far enough for a photo of `size`, up
// to kPreviewAllocationLimitMb. False when the photo is larger than that.
bool AllowAllocation(QSize size) {
  if (!size.isValid()) return true;
  const qint64 bytes = qint64{size.width()} * size.height() * 4;
  const qint64 megabytes = bytes / (1024 * 1024) + 1;
  if (megabytes > kPreviewAllocationLimitMb) return false;
  if (QImageReader::allocationLimit() != 0 && megabytes > QImageReader::allocationLimit()) {
    QImageReader::setAllocationLimit(static_cast<int>(megabytes));
  }
  return true;
}

}  // namespace

QImage ApplyOrientation(const QImage& stored, int orientation) {
  const OrientationTurn turn = TurnForOrientation(orientation);
  QImage image = stored;
  if (turn.quarterTurns != 0) {
    image = image.transformed(QTransform().rotate(90.0 * turn.quarterTurns));
  }
  if (turn.mirror) image = image.mirrored(true, false);
  return image;
}

Status DecodePreview(const QString& path, QSize box, int orientation, PreviewImage* preview) {
  *preview = {};
  QImageReader reader(path);
  reader.setAutoTransform(false);
  reader.setDecideFormatFromContent(true);
  if (!reader.canRead()) {
    return QFileInfo::exists(path) ? E_FAIL : E_FILE_NOT_FOUND;
  }
  const OrientationTurn turn = TurnForOrientation(orientation);
  const QSize stored = reader.size();
  if (!AllowAllocation(stored)) return E_OUTOFMEMORY;

  QSize target;  // in stored pixels
  if (stored.isValid() && !box.isEmpty()) {
    const QSize upright = turn.SwapsSides() ? stored.transposed() : stored;
    QSize fit = upright.scaled(box, Qt::KeepAspectRatio);
    if (fit.width() > upright.width() || fit.height() > upright.height()) fit = upright;
    fit = fit.expandedTo(QSize(1, 1));
    target = turn.SwapsSides() ? fit.transposed() : fit;
    if (target != stored) reader.setScaledSize(target);
  }
  QImage image;
  if (!reader.read(&image)) {
    return reader.error() == QImageReader::FileNotFoundError ? E_FILE_NOT_FOUND : E_FAIL;
  }
  // Readers that cannot scale while reading leave that to us.
  if (target.isValid() && image.size() != target) {
    image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  const QSize full = stored.isValid() ? stored : image.size();
  preview->uprightSize = turn.SwapsSides() ? full.transposed() : full;
  preview->image = ApplyOrientation(image, orientation);
  return S_OK;
}

}  // namespace lumatag::ui
