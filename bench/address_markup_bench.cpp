// The folder address, then a link address and a piece of markup per name:
// what pressing 作成 works out for every selected file.
#include <benchmark/benchmark.h>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/dialog/linkaddress/markup.h"
#include "bench/bench_names.h"

namespace tervane::bench {
namespace {

void BM_AddressAndMarkup(benchmark::State& state) {
  const std::vector<std::string> names = MaterialNames(state.range(0), false);
  for (auto _ : state) {
    const std::string folder = FolderAddress(kMaterialFolder, kBaseLocation, PathStyle::kPosix);
    std::size_t bytes = 0;
    for (const std::string& name : names) {
      const std::string markup =
          FileMarkup(DisplayMode::kTextLink, LinkAddress(folder, name), name);
      bytes += markup.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AddressAndMarkup)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervane::bench
