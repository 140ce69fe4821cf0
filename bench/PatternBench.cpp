// Compiling the built-in patterns: a definition is compiled when the catalogue is built, when a
// stored pattern is loaded and on every keystroke in the Pattern Editor.
#include <benchmark/benchmark.h>

#include "BenchCheck.h"
#include "foundation/StringTable.h"
#include "patterns/PatternCompiler.h"

namespace {

using namespace lumatag;

void BM_CompileBuiltIn(benchmark::State& state) {
  AppContext context;
  KeywordTable keywords;
  RequireSuccess(keywords.Build(StringModule::BuiltIn()));
  const std::uint16_t id = static_cast<std::uint16_t>(IDS_PAT_PAREN_2ND_DEF + 3 * state.range(0));
  NamingPattern pattern(context.heap, &keywords);
  RequireSuccess(pattern.definition.Assign(StringModule::BuiltIn().Text(id)));
  state.SetLabel(pattern.definition.ToUtf8());
  for (auto _ : state) {
    const Status status = EnsureCompiled(context, &pattern, true, nullptr, nullptr);
    if (Failed(status)) state.SkipWithError("did not compile");
    benchmark::DoNotOptimize(pattern.compiled.Words());
  }
}
BENCHMARK(BM_CompileBuiltIn)->DenseRange(0, 15);

void BM_KeywordLookup(benchmark::State& state) {
  KeywordTable keywords;
  RequireSuccess(keywords.Build(StringModule::BuiltIn()));
  for (auto _ : state) {
    benchmark::DoNotOptimize(keywords.Lookup(u"PhotometricInterpretation"));
    benchmark::DoNotOptimize(keywords.Lookup(u"Name"));
  }
}
BENCHMARK(BM_KeywordLookup);

}  // namespace
