// The benchmarks' main: texts compare as in the programs, through the ICU comparer installed in an
// application context for the whole run.
#include <benchmark/benchmark.h>

#include "foundation/AppContext.h"
#include "platform/linux/IcuTextComparer.h"

int main(int argc, char** argv) {
  lumatag::AppContext comparison;
  comparison.InstallTextComparer(&lumatag::PlatformTextComparer());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
