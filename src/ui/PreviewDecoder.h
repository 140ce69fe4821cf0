// Decodes a photo for the preview at the size it is shown: the decoder scales while it reads
// (JPEG decoders skip most of the work), no automatic transform is applied, and the pixels are
// then turned and mirrored by the photo's Orientation value.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "foundation/Status.h"

namespace lumatag::ui {

struct PreviewImage {
  QImage image;       // upright, at most the size asked for (never larger than the photo)
  QSize uprightSize;  // the photo's full size, upright
};

// The largest photo, in decoded megabytes, that the preview agrees to read. The image reader's
// own limit (128 MB) is raised up to this for large photos; a 9000 x 6000 photo needs 206 MB.
inline constexpr int kPreviewAllocationLimitMb = 1024;

// Reads `path` to fit `box` (device pixels) keeping its proportions. E_FILE_NOT_FOUND when the file
// cannot be opened, E_FAIL when it is not an image the readers know or cannot be decoded,
// E_OUTOFMEMORY when it is larger than kPreviewAllocationLimitMb.
Status DecodePreview(const QString& path, QSize box, int orientation, PreviewImage* preview);

// Turns and mirrors stored pixels by an Orientation value.
QImage ApplyOrientation(const QImage& stored, int orientation);

}  // namespace lumatag::ui
