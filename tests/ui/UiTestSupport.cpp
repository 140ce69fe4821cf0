#include "UiTestSupport.h"

#include <QImageWriter>
#include <QPainter>

#include "ui/QtText.h"

namespace lumatag::ui {

UiFixture::UiFixture() {
  app.presenter = &presenter;
  (void)app.title.Assign(std::u16string_view(u"Lumatag"));
}

std::vector<std::u16string> UiFixture::Texts() const {
  std::vector<std::u16string> texts;
  for (const auto& shown : presenter.shown) texts.push_back(shown.text);
  return texts;
}

std::u16string EntryText(std::uint16_t id, const QString& argument) {
  QString text;
  if (argument.isNull()) {
    (void)LoadText(StringModule::BuiltIn(), id, &text);
  } else {
    (void)LoadText(StringModule::BuiltIn(), id, &text, {argument});
  }
  return ToU16(text);
}

QImage FourColourImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  const int hw = width / 2;
  const int hh = height / 2;
  painter.fillRect(0, 0, hw, hh, Qt::red);
  painter.fillRect(hw, 0, width - hw, hh, Qt::green);
  painter.fillRect(0, hh, hw, height - hh, Qt::blue);
  painter.fillRect(hw, hh, width - hw, height - hh, Qt::yellow);
  return image;
}

char ColourName(QColor c) {
  const int r = c.red();
  const int g = c.green();
  const int b = c.blue();
  if (r > 160 && g > 160 && b < 100) return 'Y';
  if (r > 160 && g < 100 && b < 100) return 'R';
  if (g > 160 && r < 100 && b < 100) return 'G';
  if (b > 160 && r < 100 && g < 100) return 'B';
  return '?';
}

std::string Corners(const QImage& image) {
  const int x1 = image.width() - 2;
  const int y1 = image.height() - 2;
  return {ColourName(image.pixelColor(1, 1)), ColourName(image.pixelColor(x1, 1)),
          ColourName(image.pixelColor(1, y1)), ColourName(image.pixelColor(x1, y1))};
}

bool WriteImage(const QImage& image, const QString& path, const char* format, int quality) {
  QImageWriter writer(path, format);
  writer.setQuality(quality);
  return writer.write(image);
}

}  // namespace lumatag::ui
