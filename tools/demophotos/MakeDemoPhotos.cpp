// lumatag-make-demo-photos DIR [COUNT] [WIDTH HEIGHT]: writes COUNT camera-like JPEG photos
// (default 6, 1600 × 1200) with real pictures and Exif data into DIR, named IMG_0001.JPG and up.
// Every second photo is stored turned as a camera held upright stores it (Orientation 6), so that
// the preview has to turn it back. Used by the demo and the start-up benchmark.
#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cstdio>
#include <cstdlib>

#include "photobuilder/PhotoBuilder.h"

namespace {

// A small landscape: sky, sun, hills, and the photo's number.
QImage Scene(int width, int height, int variant) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const int hue = (variant * 47) % 360;
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor::fromHsv(hue, 120, 250));
  sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 255));
  painter.fillRect(image.rect(), sky);
  painter.setBrush(QColor(255, 220, 90));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(width * 0.75, height * 0.25), height * 0.1, height * 0.1);
  for (int layer = 0; layer < 3; ++layer) {
    QPainterPath hill;
    const double base = height * (0.6 + 0.12 * layer);
    hill.moveTo(0, height);
    hill.lineTo(0, base);
    for (int x = 0; x <= width; x += width / 8) {
      hill.quadTo(x + width / 16.0,
                  base - height * 0.15 * ((x / (width / 8) + layer + variant) % 3), x + width / 8.0,
                  base);
    }
    hill.lineTo(width, height);
    painter.setBrush(QColor::fromHsv((hue + 120 + layer * 15) % 360, 150, 170 - layer * 40));
    painter.drawPath(hill);
  }
  QFont font;
  font.setPixelSize(height / 8);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(image.rect().adjusted(0, height / 20, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("%1").arg(variant));
  painter.end();
  return image;
}

QByteArray ExifSegment(int variant) {
  using namespace lumatag::photo;
  const ByteOrder order = variant % 2 ? ByteOrder::kIntel : ByteOrder::kMotorola;
  JpegOptions options;
  options.scanBytes = 0;
  const Bytes jpeg = CameraLikePhoto(order, variant, 512).Jpeg(options);
  // Start of image, then the APP1 segment: marker, 16-bit big-endian length, data.
  if (jpeg.size() < 6 || jpeg[2] != 0xFF || jpeg[3] != 0xE1) return {};
  const std::size_t length = (static_cast<std::size_t>(jpeg[4]) << 8) | jpeg[5];
  return QByteArray(reinterpret_cast<const char*>(jpeg.data()) + 2,
                    static_cast<qsizetype>(length + 2));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: lumatag-make-demo-photos DIR [COUNT] [WIDTH HEIGHT]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const int count = argc >= 3 ? std::atoi(argv[2]) : 6;
  const int width = argc == 5 ? std::atoi(argv[3]) : 1600;
  const int height = argc == 5 ? std::atoi(argv[4]) : 1200;
  for (int i = 1; i <= count; ++i) {
    // Odd photos carry Orientation 6: an upright picture stored turned a quarter to the left.
    const bool upright = i % 2 == 1;
    QImage picture = upright ? Scene(height, width, i).transformed(QTransform().rotate(-90))
                             : Scene(width, height, i);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPEG", 85)) {
      std::fprintf(stderr, "lumatag-make-demo-photos: cannot encode a JPEG\n");
      return 1;
    }
    encoded.insert(2, ExifSegment(i));
    const QString path = QStringLiteral("%1/IMG_%2.JPG").arg(dir).arg(i, 4, 10, QLatin1Char('0'));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encoded) != encoded.size()) {
      std::fprintf(stderr, "lumatag-make-demo-photos: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
