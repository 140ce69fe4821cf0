#include "photobuilder/ScenePhoto.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTransform>
#include <algorithm>

namespace lumatag::photo {
namespace {

// Seven-segment digits, so the number needs no font: bits a (top), b (top right), c (bottom
// right), d (bottom), e (bottom left), f (top left), g (middle).
constexpr unsigned kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void PaintDigit(QPainter& painter, const QRectF& box, int digit) {
  const qreal t = box.width() * 0.18;  // stroke thickness
  const qreal l = box.left();
  const qreal r = box.right() - t;
  const qreal top = box.top();
  const qreal mid = box.center().y() - t / 2;
  const qreal bottom = box.bottom() - t;
  const qreal w = box.width();
  const qreal h = box.height() / 2;
  const QRectF segments[7] = {
      {l, top, w, t},          // a
      {r, top, t, h},          // b
      {r, mid + t / 2, t, h},  // c
      {l, bottom, w, t},       // d
      {l, mid + t / 2, t, h},  // e
      {l, top, t, h},          // f
      {l, mid, w, t},          // g
  };
  for (int s = 0; s < 7; ++s) {
    if (kSegments[digit] & (1u << s)) painter.drawRect(segments[s]);
  }
}

void PaintNumber(QPainter& painter, const QRectF& area, int number) {
  const QString digits = QString::number(std::clamp(number, 0, 9999));
  const qreal digitHeight = area.height();
  const qreal digitWidth = std::min(digitHeight * 0.55, area.width() / (digits.size() * 1.3));
  const qreal gap = digitWidth * 0.3;
  const qreal total = digits.size() * digitWidth + (digits.size() - 1) * gap;
  qreal x = area.center().x() - total / 2;
  for (QChar c : digits) {
    PaintDigit(painter, QRectF(x, area.top(), digitWidth, digitHeight), c.digitValue());
    x += digitWidth + gap;
  }
}

void AddGrain(QImage& image, int amplitude) {
  if (amplitude <= 0) return;
  QRandomGenerator random(20121228);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int d = static_cast<int>(random.bounded(2 * amplitude + 1)) - amplitude;
      const QRgb p = line[x];
      line[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                     std::clamp(qBlue(p) + d, 0, 255));
    }
  }
}

// A viewer turns the stored pixels clockwise by quarter turns, then mirrors them left to right.
struct Turn {
  int quarterTurns;
  bool mirror;
};
Turn TurnFor(int orientation) {
  switch (orientation) {
    case 2:
      return {0, true};
    case 3:
      return {2, false};
    case 4:
      return {2, true};
    case 5:
      return {1, true};
    case 6:
      return {1, false};
    case 7:
      return {3, true};
    case 8:
      return {3, false};
    default:
      return {0, false};
  }
}

}  // namespace

QImage PaintScene(const SceneOptions& options) {
  const int w = std::max(options.width, 8);
  const int h = std::max(options.height, 8);
  QImage image(w, h, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal horizon = h * 0.62;

  QLinearGradient sky(0, 0, 0, horizon);
  sky.setColorAt(0, QColor(30, 90, 190));
  sky.setColorAt(1, QColor(170, 210, 245));
  painter.fillRect(QRectF(0, 0, w, horizon), sky);
  QLinearGradient ground(0, horizon, 0, h);
  ground.setColorAt(0, QColor(90, 160, 60));
  ground.setColorAt(1, QColor(40, 95, 30));
  painter.fillRect(QRectF(0, horizon, w, h - horizon), ground);

  // The sun in the upper right, a hill on the left.
  const qreal unit = std::min(w, h);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 215, 40));
  painter.drawEllipse(QPointF(w * 0.82, h * 0.18), unit * 0.10, unit * 0.10);
  painter.setBrush(QColor(60, 130, 45));
  painter.drawEllipse(QPointF(w * 0.15, horizon + unit * 0.05), w * 0.25, unit * 0.16);

  // An arrow at the left edge pointing up.
  QPainterPath arrow;
  const qreal ax = w * 0.07;
  const qreal aw = unit * 0.05;
  arrow.moveTo(ax, h * 0.08);
  arrow.lineTo(ax + aw * 1.4, h * 0.08 + aw * 2);
  arrow.lineTo(ax + aw * 0.45, h * 0.08 + aw * 2);
  arrow.lineTo(ax + aw * 0.45, h * 0.45);
  arrow.lineTo(ax - aw * 0.45, h * 0.45);
  arrow.lineTo(ax - aw * 0.45, h * 0.08 + aw * 2);
  arrow.lineTo(ax - aw * 1.4, h * 0.08 + aw * 2);
  arrow.closeSubpath();
  painter.setBrush(QColor(200, 30, 30));
  painter.drawPath(arrow);

  // The number, white with a dark outline, in the middle.
  painter.setPen(QPen(QColor(20, 20, 20), unit * 0.012));
  painter.setBrush(Qt::white);
  PaintNumber(painter, QRectF(w * 0.25, h * 0.28, w * 0.5, h * 0.44), options.number);
  painter.end();

  AddGrain(image, std::clamp(options.noise, 0, 64));
  return image;
}

QImage StoredPixels(const QImage& upright, int orientation) {
  // Undo the viewer's turn: mirror first, then turn back.
  const Turn turn = TurnFor(orientation);
  QImage stored = turn.mirror ? upright.mirrored(true, false) : upright;
  if (turn.quarterTurns != 0) {
    stored = stored.transformed(QTransform().rotate(-90.0 * turn.quarterTurns));
  }
  return stored;
}

Bytes SceneJpeg(const PhotoBuilder& exif, const SceneOptions& options) {
  const QImage stored = StoredPixels(PaintScene(options), options.orientation);
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(options.quality);
  if (!writer.write(stored) || encoded.size() < 4) return {};

  // The builder's APP1 segment (right after its start of image), then the encoder's segments
  // without its JFIF APP0 so that Exif comes first, as cameras write it.
  const Bytes builderJpeg = exif.Jpeg();
  const std::size_t app1Length = (std::size_t{builderJpeg[4]} << 8) | builderJpeg[5];
  Bytes out = {0xFF, 0xD8};
  out.insert(out.end(), builderJpeg.begin() + 2, builderJpeg.begin() + 4 + app1Length);
  std::size_t pos = 2;
  const auto* data = reinterpret_cast<const std::uint8_t*>(encoded.constData());
  const auto size = static_cast<std::size_t>(encoded.size());
  if (size > 6 && data[2] == 0xFF && data[3] == 0xE0) {
    pos = 4 + ((std::size_t{data[4]} << 8) | data[5]);
  }
  out.insert(out.end(), data + pos, data + size);
  return out;
}

Bytes SceneTiff(const SceneOptions& options, const std::string& make, const std::string& model,
                const std::string& dateTaken) {
  const QImage stored =
      StoredPixels(PaintScene(options), options.orientation).convertToFormat(QImage::Format_RGB888);
  const auto w = static_cast<std::uint32_t>(stored.width());
  const auto h = static_cast<std::uint32_t>(stored.height());
  const std::uint32_t stripBytes = w * h * 3;

  // Directory entries in ascending tag order; the strip follows the directories, so its offset is
  // the length of a first layout (the offset is an inline value and does not change the layout).
  auto build = [&](std::uint32_t stripOffset) {
    PhotoBuilder tiff(ByteOrder::kIntel);
    tiff.Long(Ifd::kPrimary, 0x0100, {w})
        .Long(Ifd::kPrimary, 0x0101, {h})
        .Short(Ifd::kPrimary, 0x0102, {8, 8, 8})
        .Short(Ifd::kPrimary, 0x0103, {1})
        .Short(Ifd::kPrimary, 0x0106, {2})
        .Ascii(Ifd::kPrimary, 0x010F, make)
        .Ascii(Ifd::kPrimary, 0x0110, model)
        .Long(Ifd::kPrimary, 0x0111, {stripOffset})
        .Short(Ifd::kPrimary, 0x0112, {static_cast<std::uint16_t>(options.orientation)})
        .Short(Ifd::kPrimary, 0x0115, {3})
        .Long(Ifd::kPrimary, 0x0116, {h})
        .Long(Ifd::kPrimary, 0x0117, {stripBytes})
        .Rational(Ifd::kPrimary, 0x011A, {{300, 1}})
        .Rational(Ifd::kPrimary, 0x011B, {{300, 1}})
        .Short(Ifd::kPrimary, 0x011C, {1})
        .Short(Ifd::kPrimary, 0x0128, {2})
        .Ascii(Ifd::kPrimary, 0x0132, dateTaken)
        .Ascii(Ifd::kExif, 0x9003, dateTaken)
        .Ascii(Ifd::kExif, 0x9004, dateTaken);
    return tiff.Tiff();
  };
  Bytes out = build(0);
  out = build(static_cast<std::uint32_t>(out.size()));
  out.reserve(out.size() + stripBytes);
  for (std::uint32_t y = 0; y < h; ++y) {
    const auto* line = stored.constScanLine(static_cast<int>(y));
    out.insert(out.end(), line, line + w * 3);
  }
  return out;
}

}  // namespace lumatag::photo
