// The file list: the default kinds' pattern against every name of a folder,
// and the list order of what it keeps.
#include <benchmark/benchmark.h>

#include "addin/dialog/linkaddress/list_pattern.h"
#include "bench/bench_names.h"

namespace tervane::bench {
namespace {

const std::string& DefaultPattern() {
  static const std::string pattern = ListPattern({false, true, true, false});
  return pattern;
}

void BM_ListPatternMatch(benchmark::State& state) {
  const std::vector<std::string> names = MaterialNames(state.range(0), true);
  for (auto _ : state) {
    const FilePattern pattern(DefaultPattern());
    std::size_t kept = 0;
    for (const std::string& name : names) kept += pattern.Matches(name) ? 1 : 0;
    benchmark::DoNotOptimize(kept);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListPatternMatch)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ListOrderSort(benchmark::State& state) {
  const std::vector<std::string> names = MaterialNames(state.range(0), false);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> sorted = names;
    state.ResumeTiming();
    SortInListOrder(sorted);
    benchmark::DoNotOptimize(sorted.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListOrderSort)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervane::bench
