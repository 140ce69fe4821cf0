// Reading the settings hive: one key with very many values, and very many subkeys stored in
// reverse order. Reading must stay linear (n log n at worst) in both.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/linux/HiveFormat.h"

namespace {

std::string ManyValues(int count) {
  std::string text = "Lumatag Settings Hive 1\n\n[HKEY_CURRENT_USER\\Software\\Lumatag\\Ext]\n";
  for (int i = 0; i < count; ++i) text += "\"ext" + std::to_string(i) + "\"=dword:00000001\n";
  return text;
}

std::string ManySubkeysReversed(int count) {
  std::string text = "Lumatag Settings Hive 1\n\n";
  for (int i = count; i > 0; --i) {
    text += "[HKEY_CURRENT_USER\\Patterns\\p" + std::to_string(1000000 + i) + "]\n";
  }
  return text;
}

void BM_ParseManyValues(benchmark::State& state) {
  const std::string text = ManyValues(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(lumatag::ParseHive(text, nullptr));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseManyValues)->Arg(10000)->Arg(40000)->Arg(100000)->Complexity();

void BM_ParseManySubkeysReversed(benchmark::State& state) {
  const std::string text = ManySubkeysReversed(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(lumatag::ParseHive(text, nullptr));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseManySubkeysReversed)->Arg(10000)->Arg(40000)->Arg(100000)->Complexity();

}  // namespace
