// The photo preview: a framed area on the window colour that shows one image file scaled to fit,
// turned by the photo's Orientation value, or a text in its place. The file is decoded at the size
// shown and decoded again only when the control grows past the decoded image.
#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

#include "foundation/AppContext.h"
#include "foundation/Status.h"

namespace lumatag::ui {

class PictureControl : public QFrame {
 public:
  explicit PictureControl(AppContext& context, QWidget* parent = nullptr);

  // Shows the image of `path`. A file that cannot be loaded shows "Unable to load an image from
  // file "{1}"." with the file name in the control and gives S_FALSE; a failure means the text
  // could not even be prepared.
  Status SetImageFile(const QString& path, int orientation);
  // Shows a text instead of an image (the preview is turned off).
  void SetText(const QString& text);
  // Shows nothing and forgets the file (before the file is renamed or deleted).
  void Clear();

  bool HasImage() const { return !image_.isNull(); }
  const QImage& Image() const { return image_; }
  QString Text() const { return text_; }
  // How often a file was decoded, for tests of the decode-again rule.
  int DecodeCount() const { return decodeCount_; }
  // The rectangle the image is drawn into.
  QRect ImageRect() const;

  QSize sizeHint() const override { return {320, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSize BoxInDevicePixels() const;
  Status Decode();

  AppContext& context_;
  QString path_;
  int orientation_ = 1;
  QImage image_;
  QSize uprightSize_;
  QString text_;
  int decodeCount_ = 0;
};

}  // namespace lumatag::ui
