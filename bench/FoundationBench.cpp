// Preparing a message (load, fill a placeholder) and comparing texts: both sit on every user
// action and inside folder scans.
#include <benchmark/benchmark.h>

#include "BenchCheck.h"
#include "foundation/Numbers.h"
#include "foundation/StringTable.h"
#include "ports/TextComparer.h"

namespace lumatag {
namespace {

void BM_PrepareMessage(benchmark::State& state) {
  const StringModule& module = StringModule::BuiltIn();
  for (auto _ : state) {
    MessageString text;
    RequireSuccess(LoadString(module, IDS_CONTACT_TITLE, text));
    RequireSuccess(SubstitutePlaceholder(text, 1, u"IMG_1234.JPG"));
    benchmark::DoNotOptimize(text.Length());
  }
}
BENCHMARK(BM_PrepareMessage);

void BM_FormatPadded(benchmark::State& state) {
  FixedString<16> text;
  std::uint32_t n = 0;
  for (auto _ : state) {
    RequireSuccess(FormatUInt32Padded(text, n++, 3));
    benchmark::DoNotOptimize(text.Length());
  }
}
BENCHMARK(BM_FormatPadded);

void BM_CompareIgnoringCase(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(CompareInvariant(u"Vacation #012.JPG", u"vacation #013.jpg", true));
  }
}
BENCHMARK(BM_CompareIgnoringCase);

}  // namespace
}  // namespace lumatag
