// The picture control and the preview decoder: decoding at the size shown, decoding again only
// when the control outgrows the image, photos larger than the image reader's default limit, TIFF
// and JPEG demo photos, and the message for a file that is not an image.
#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>

#include "UiTestSupport.h"
#include "foundation/StringIds.h"
#include "photobuilder/ScenePhoto.h"
#include "support/TestSupport.h"
#include "ui/PictureControl.h"
#include "ui/PreviewDecoder.h"
#include "ui/QtText.h"

namespace lumatag::ui {
namespace {

QString WriteBytes(const TempDir& dir, const std::string& name, const photo::Bytes& bytes) {
  const std::string path = dir.File(name);
  EXPECT_TRUE(photo::WriteFile(path, bytes));
  return QString::fromStdString(path);
}

class PictureControlTest : public testing::Test {
 protected:
  UiFixture f;
  TempDir dir;
};

TEST_F(PictureControlTest, FileThatIsNotAnImageShowsItsName) {
  const QString path = WriteBytes(dir, "notes.JPG", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i'});
  const QString missing = QString::fromStdString(dir.File("missing.JPG"));
  for (const QString& file : {path, missing}) {
    PictureControl control(f.app);
    control.resize(200, 150);
    EXPECT_STATUS(S_FALSE, control.SetImageFile(file, 1));
    EXPECT_FALSE(control.HasImage());
    EXPECT_EQ(ToU16(control.Text()), EntryText(IDS_IMAGE_LOAD_FAILED, file));
  }
  // An Exif segment without image data is not a picture either.
  photo::PhotoBuilder exifOnly;
  exifOnly.Short(photo::Ifd::kPrimary, 0x0112, {1});
  PictureControl control(f.app);
  EXPECT_STATUS(S_FALSE, control.SetImageFile(WriteBytes(dir, "exif.JPG", exifOnly.Jpeg()), 1));
  EXPECT_TRUE(f.presenter.shown.empty());  // shown in the control, not in a box
}

TEST_F(PictureControlTest, DecodesAtTheSizeShownAndAgainOnlyWhenOutgrown) {
  photo::SceneOptions scene;
  scene.width = 1600;
  scene.height = 1200;
  const QString path = WriteBytes(
      dir, "IMG_0001.JPG",
      photo::SceneJpeg(photo::CameraLikePhoto(photo::ByteOrder::kIntel, 1, 64, 1), scene));
  PictureControl control(f.app);
  control.resize(200, 150);
  control.show();
  ASSERT_OK(control.SetImageFile(path, 1));
  const int border = control.frameWidth() * 2;
  EXPECT_LE(control.Image().width(), 200 - border);
  EXPECT_EQ(control.DecodeCount(), 1);

  control.resize(150, 100);  // smaller: the image is only drawn smaller
  EXPECT_EQ(control.DecodeCount(), 1);
  control.resize(800, 600);  // larger: decoded again at the new size
  EXPECT_EQ(control.DecodeCount(), 2);
  EXPECT_GT(control.Image().width(), 600);
  control.resize(2400, 1800);  // past the photo's own size: decoded at full size once
  EXPECT_EQ(control.Image().size(), QSize(1600, 1200));
  const int decodes = control.DecodeCount();
  control.resize(3000, 2000);
  EXPECT_EQ(control.DecodeCount(), decodes);
}

TEST_F(PictureControlTest, PhotoLargerThanTheReadersDefaultLimitIsPreviewed) {
  photo::SceneOptions scene;
  scene.width = 9000;
  scene.height = 6000;
  scene.quality = 75;
  const QString path = WriteBytes(
      dir, "IMG_9000.JPG",
      photo::SceneJpeg(photo::CameraLikePhoto(photo::ByteOrder::kMotorola, 2, 64, 1), scene));
  QImageReader::setAllocationLimit(128);  // the reader's default
  PictureControl control(f.app);
  control.show();
  control.resize(802, 602);
  ASSERT_OK(control.SetImageFile(path, 1));
  ASSERT_TRUE(control.HasImage());
  EXPECT_EQ(control.Image().width(), control.contentsRect().width());
}

// Readers that cannot scale while reading decode the whole picture first; the limit is raised
// for that too (shown with a low limit, so that the picture can stay small).
TEST_F(PictureControlTest, PictureLargerThanTheLimitWithoutScaledReadingIsPreviewed) {
  QImage big(2000, 1500, QImage::Format_RGB32);
  big.fill(Qt::blue);
  const QString path = QString::fromStdString(dir.File("big.png"));
  ASSERT_TRUE(WriteImage(big, path, "png", 90));
  QImageReader::setAllocationLimit(4);  // 11.4 MB are needed
  PreviewImage preview;
  ASSERT_OK(DecodePreview(path, QSize(200, 300), 1, &preview));
  EXPECT_EQ(preview.image.size(), QSize(200, 150));
  EXPECT_EQ(preview.uprightSize, QSize(2000, 1500));
  QImageReader::setAllocationLimit(128);
}

TEST_F(PictureControlTest, DemoPhotosShowUprightInJpegAndTiff) {
  // The scene's sky is at the top and its ground at the bottom once turned by the tag.
  auto skyOnTop = [](const QImage& image) {
    const QColor top = image.pixelColor(image.width() / 2, 2);
    const QColor bottom = image.pixelColor(image.width() / 2, image.height() - 3);
    return top.blue() > top.green() && bottom.green() > bottom.blue();
  };
  for (int orientation : {1, 3, 6, 8}) {
    photo::SceneOptions scene;
    scene.width = 300;
    scene.height = 200;
    scene.orientation = orientation;
    const QString jpeg = WriteBytes(
        dir, "o" + std::to_string(orientation) + ".JPG",
        photo::SceneJpeg(photo::CameraLikePhoto(photo::ByteOrder::kIntel, 0, 64, orientation),
                         scene));
    const QString tiff =
        WriteBytes(dir, "o" + std::to_string(orientation) + ".TIF", photo::SceneTiff(scene));
    for (const QString& path : {jpeg, tiff}) {
      PreviewImage preview;
      ASSERT_OK(DecodePreview(path, QSize(300, 300), orientation, &preview)) << path.toStdString();
      EXPECT_EQ(preview.image.size(), QSize(300, 200)) << path.toStdString();
      EXPECT_TRUE(skyOnTop(preview.image)) << path.toStdString();
    }
  }
}

TEST_F(PictureControlTest, DrawsTheTurnedImageCentredInItsFrame) {
  const QString path = QString::fromStdString(dir.File("four.png"));
  ASSERT_TRUE(WriteImage(FourColourImage(400, 200), path, "png"));
  PictureControl control(f.app);
  control.resize(302, 302);
  control.show();
  ASSERT_OK(control.SetImageFile(path, 6));
  const QRect drawn = control.ImageRect();
  EXPECT_EQ(drawn.center(), control.contentsRect().center());
  EXPECT_EQ(drawn.height(), control.contentsRect().height());
  const QImage shot = control.grab().toImage();
  EXPECT_EQ(Corners(shot.copy(drawn)), "BRYG");
  // Beside the picture: the window colour, not the picture.
  EXPECT_EQ(ColourName(shot.pixelColor(drawn.left() - 5, drawn.center().y())), '?');
}

TEST_F(PictureControlTest, TextAndClearReplaceTheImage) {
  const QString path = QString::fromStdString(dir.File("four.png"));
  ASSERT_TRUE(WriteImage(FourColourImage(64, 48), path, "png"));
  PictureControl control(f.app);
  control.resize(100, 100);
  control.show();
  ASSERT_OK(control.SetImageFile(path, 1));
  EXPECT_TRUE(control.HasImage());
  control.SetText(QStringLiteral("off"));
  EXPECT_FALSE(control.HasImage());
  EXPECT_EQ(control.Text(), QStringLiteral("off"));
  control.Clear();
  EXPECT_TRUE(control.Text().isEmpty());
  control.resize(400, 400);  // a cleared control decodes nothing
  EXPECT_EQ(control.DecodeCount(), 1);
}

}  // namespace
}  // namespace lumatag::ui
