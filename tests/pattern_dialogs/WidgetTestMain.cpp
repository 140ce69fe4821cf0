// The widget tests' main: one QApplication for the whole program (the offscreen platform unless
// another is chosen), and texts compared through the ICU comparer as the programs do.
#include <gmock/gmock.h>
#include <QApplication>

#include "foundation/AppContext.h"
#include "platform/linux/IcuTextComparer.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleMock(&argc, argv);
  lumatag::AppContext comparison;
  comparison.InstallTextComparer(&lumatag::PlatformTextComparer());
  return RUN_ALL_TESTS();
}
