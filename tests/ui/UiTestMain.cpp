// One QApplication for every window test, on the offscreen platform unless another is chosen; texts
// compare through the ICU comparer as in every other test program.
#include <gmock/gmock.h>

#include <QApplication>

#include "foundation/AppContext.h"
#include "platform/linux/IcuTextComparer.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleMock(&argc, argv);
  lumatag::AppContext comparison;
  comparison.InstallTextComparer(&lumatag::PlatformTextComparer());
  return RUN_ALL_TESTS();
}
