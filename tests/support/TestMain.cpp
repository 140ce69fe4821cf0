// The tests' main: every test program compares texts as the programs do, through the ICU comparer
// installed in an application context for the whole run.
#include <gmock/gmock.h>

#include "foundation/AppContext.h"
#include "platform/linux/IcuTextComparer.h"

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  lumatag::AppContext comparison;
  comparison.InstallTextComparer(&lumatag::PlatformTextComparer());
  return RUN_ALL_TESTS();
}
