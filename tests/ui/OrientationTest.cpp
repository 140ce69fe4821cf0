// The preview turns and mirrors a photo by its Orientation value; checked on a four-colour image
// by the colours of its corners (red top left, green top right, blue bottom left, yellow bottom
// right as stored).
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "photobuilder/ScenePhoto.h"
#include "support/TestSupport.h"
#include "ui/Orientation.h"
#include "ui/PreviewDecoder.h"

namespace lumatag::ui {
namespace {

struct OrientationCase {
  int orientation;
  const char* corners;  // shown: top left, top right, bottom left, bottom right
  bool swapsSides;
};

const OrientationCase kCases[] = {
    {1, "RGBY", false}, {2, "GRYB", false}, {3, "YBGR", false},      {4, "BYRG", false},
    {5, "RBGY", true},  {6, "BRYG", true},  {7, "YGBR", true},       {8, "GYRB", true},
    {0, "RGBY", false}, {9, "RGBY", false}, {0xFFFF, "RGBY", false},
};

class OrientationTest : public testing::TestWithParam<OrientationCase> {};

TEST_P(OrientationTest, TurnsTheStoredPixels) {
  const OrientationCase& c = GetParam();
  const QImage shown = ApplyOrientation(FourColourImage(40, 20), c.orientation);
  EXPECT_EQ(Corners(shown), c.corners);
  EXPECT_EQ(shown.size(), c.swapsSides ? QSize(20, 40) : QSize(40, 20));
  EXPECT_EQ(TurnForOrientation(c.orientation).SwapsSides(), c.swapsSides);
}

TEST_P(OrientationTest, PreviewOfAFileShowsTheTurnedImage) {
  const OrientationCase& c = GetParam();
  TempDir dir;
  const QString path = QString::fromStdString(dir.File("four.png"));
  ASSERT_TRUE(WriteImage(FourColourImage(400, 200), path, "png"));
  PreviewImage preview;
  ASSERT_OK(DecodePreview(path, QSize(100, 100), c.orientation, &preview));
  EXPECT_EQ(Corners(preview.image), c.corners);
  // Fitted into the box with its proportions, upright.
  EXPECT_EQ(preview.image.size(), c.swapsSides ? QSize(50, 100) : QSize(100, 50));
  EXPECT_EQ(preview.uprightSize, c.swapsSides ? QSize(200, 400) : QSize(400, 200));
}

// The demo photos store their pixels so that a viewer applying the tag shows them upright.
TEST_P(OrientationTest, DemoPhotoPixelsComeBackUpright) {
  const OrientationCase& c = GetParam();
  const QImage upright = FourColourImage(60, 30);
  const QImage stored = photo::StoredPixels(upright, c.orientation);
  EXPECT_EQ(Corners(ApplyOrientation(stored, c.orientation)), "RGBY");
}

INSTANTIATE_TEST_SUITE_P(AllValues, OrientationTest, testing::ValuesIn(kCases), LT_CASE_NAMES);

}  // namespace
}  // namespace lumatag::ui
