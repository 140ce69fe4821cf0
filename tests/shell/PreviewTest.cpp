// The preview: turned by Orientation, decoded at the size shown, turned off by the setting.
#include <QPainter>
#include <QTest>

#include "shell/PreviewDecoder.h"
#include "shell/ShellTestSupport.h"

namespace lumatag::shell {
namespace {

// A wide picture: red on the left, blue on the right.
QImage RedLeftBlueRight() {
  QImage image(400, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.fillRect(0, 0, 200, 200, Qt::red);
  painter.fillRect(200, 0, 200, 200, Qt::blue);
  return image;
}

bool IsRed(QRgb c) {
  return qRed(c) > 180 && qBlue(c) < 80;
}
bool IsBlue(QRgb c) {
  return qBlue(c) > 180 && qRed(c) < 80;
}

TEST(OrientImage, EveryValueTurnsAsDefined) {
  // Where the red half ends up: the corner pixels of the turned picture.
  struct Case {
    int orientation;
    bool portrait;
    bool redTop, redLeft;  // red half at the top (portrait) or left (landscape)
  };
  const Case cases[] = {{1, false, false, true}, {2, false, false, false}, {3, false, false, false},
                        {4, false, false, true}, {5, true, true, false},   {6, true, true, false},
                        {7, true, false, false}, {8, true, false, false},  {9, false, false, true}};
  const QImage source = RedLeftBlueRight();
  for (const Case& c : cases) {
    const QImage turned = OrientImage(source, c.orientation);
    EXPECT_EQ(turned.height() > turned.width(), c.portrait) << c.orientation;
    if (c.portrait) {
      EXPECT_EQ(IsRed(turned.pixel(turned.width() / 2, 5)), c.redTop) << c.orientation;
    } else {
      EXPECT_EQ(IsRed(turned.pixel(5, turned.height() / 2)), c.redLeft) << c.orientation;
    }
  }
  // 5 and 7 are mirror images of 6 and 8: a picture with a mark in its top left corner.
  QImage marked(40, 20, QImage::Format_RGB32);
  marked.fill(Qt::blue);
  marked.setPixel(0, 0, qRgb(255, 0, 0));
  // Transpose (5) keeps the mark at the top left; transverse (7) moves it to the bottom right.
  EXPECT_TRUE(IsRed(OrientImage(marked, 5).pixel(0, 0)));
  EXPECT_TRUE(IsRed(OrientImage(marked, 7).pixel(19, 39)));
  EXPECT_TRUE(IsRed(OrientImage(marked, 6).pixel(19, 0)));
  EXPECT_TRUE(IsRed(OrientImage(marked, 8).pixel(0, 39)));
}

TEST(DecodePreview, DecodesAtTheShownSize) {
  TempDir dir;
  WritePicturePhoto(dir.File("p.jpg"), RedLeftBlueRight(), 1);
  const QImage small = DecodePreview(QString::fromStdString(dir.File("p.jpg")), 1, QSize(100, 100));
  ASSERT_FALSE(small.isNull());
  EXPECT_LE(small.width(), 100);
  EXPECT_EQ(small.width(), 2 * small.height());
  EXPECT_TRUE(
      DecodePreview(QString::fromStdString(dir.File("missing.jpg")), 1, QSize(10, 10)).isNull());
}

using PreviewWindowTest = ShellTest;

TEST_F(PreviewWindowTest, Orientation6PhotoIsShownTurnedClockwise) {
  WritePicturePhoto(PhotoPath("IMG_0001.JPG"), RedLeftBlueRight(), 6);
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  const QImage& shown = Window().Preview()->Image();
  ASSERT_FALSE(shown.isNull());
  EXPECT_GT(shown.height(), shown.width());
  // Turned clockwise, the left (red) half is at the top.
  EXPECT_TRUE(IsRed(shown.pixel(shown.width() / 2, 2)));
  EXPECT_TRUE(IsBlue(shown.pixel(shown.width() / 2, shown.height() - 3)));
}

TEST_F(PreviewWindowTest, PhotoWithoutOrientationIsShownAsStored) {
  WritePicturePhoto(PhotoPath("IMG_0001.JPG"), RedLeftBlueRight(), 1);
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  const QImage& shown = Window().Preview()->Image();
  ASSERT_FALSE(shown.isNull());
  EXPECT_GT(shown.width(), shown.height());
  EXPECT_TRUE(IsRed(shown.pixel(2, shown.height() / 2)));
}

TEST_F(PreviewWindowTest, PreviewTurnedOffShowsTheTwoLines) {
  WritePicturePhoto(PhotoPath("IMG_0001.JPG"), RedLeftBlueRight(), 1);
  WriteSettings(photos_ + "/", 0, "\"Show File Preview\"=dword:00000000\n");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Window().Preview()->Image().isNull());
  EXPECT_EQ(
      Window().Preview()->Text(),
      QStringLiteral("Photo preview is turned off.\nUse the Options dialog to turn it back on."));
}

TEST_F(PreviewWindowTest, UndecodablePhotoSaysSoInThePreview) {
  AddPhotos({"IMG_0001.JPG"});
  WriteSettings(photos_ + "/", 0);
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Window().Preview()->Image().isNull());
  EXPECT_EQ(Window().Preview()->Text(),
            QStringLiteral("Unable to load an image from file \"IMG_0001.JPG\"."));
}

}  // namespace
}  // namespace lumatag::shell
