// The photo preview: decodes the photo at the size it is shown (JPEG decoders scale while
// decoding, so a 24-megapixel photo costs a fraction of a full decode), turns it by its Exif
// Orientation, and decodes the photo the person will most likely see next ahead of time on a worker
// thread. Kept small until the shared picture control takes over.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <future>

namespace lumatag::shell {

// Turns an image as the Orientation value says (1 or unknown: unchanged).
QImage OrientImage(const QImage& image, int orientation);
// The box an image must be decoded into so that, once turned, it fits `box`.
QSize DecodeBoxFor(QSize box, int orientation);
// Decodes `path` scaled to fit `box` (keeping its proportions) and turned; a null image when the
// file cannot be decoded.
QImage DecodePreview(const QString& path, int orientation, QSize box);

class PreviewWidget final : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewWidget(QWidget* parent = nullptr);
  ~PreviewWidget() override;

  // Shows the photo (decoded now, or taken from the read-ahead when it has it).
  void ShowPhoto(const QString& path, int orientation);
  // Shows a text instead of a photo (preview turned off, photo that cannot be loaded).
  void ShowText(const QString& text);
  // Shows nothing.
  void Clear();
  // Starts decoding a photo that will likely be shown next.
  void ReadAhead(const QString& path, int orientation);

  const QImage& Image() const { return image_; }
  const QString& Text() const { return text_; }
  // The message for a photo that cannot be loaded; "{1}" is replaced with the file name.
  void SetLoadFailedTemplate(const QString& text) { loadFailed_ = text; }

  QSize sizeHint() const override { return {320, 240}; }
  QSize minimumSizeHint() const override { return {160, 120}; }

 signals:
  // After every paint; `withImage` when a photo was drawn.
  void painted(bool withImage);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSize ImageBox() const;
  void Decode();

  QString path_;
  int orientation_ = 1;
  QImage image_;
  QSize decodedFor_;
  QString text_;
  QString loadFailed_ = QStringLiteral("{1}");
  QString aheadPath_;
  int aheadOrientation_ = 0;
  QSize aheadBox_;
  std::future<QImage> ahead_;
};

}  // namespace lumatag::shell
