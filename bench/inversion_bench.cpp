// Existing-link inversion: the links of a page against the addresses of the
// listed files, one in ten a shortcut's web address. LinkMatcher against the
// reference nested loop the tests check it with.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/dialog/linkaddress/link_matcher.h"
#include "addin/dialog/linkaddress/shortcut.h"
#include "bench/bench_names.h"
#include "tests/support/nested_loop_matches.h"

namespace tervane::bench {
namespace {

struct Inversion {
  std::vector<std::string> fileAddresses;
  std::vector<ReferenceLink> links;
};

// `files` listed files, every tenth a shortcut; `links` links in shuffled
// page order, nine in ten to a listed file and the rest to addresses that
// match none (the nested loop's worst case).
Inversion MakeInversion(std::size_t files, std::size_t links) {
  Inversion inversion;
  const std::string folder = FolderAddress(kMaterialFolder, kBaseLocation, PathStyle::kPosix);
  const std::vector<std::string> names = MaterialNames(files, false);
  for (std::size_t i = 0; i < files; ++i) {
    inversion.fileAddresses.push_back(i % 10 == 0 ? "https://www.example.jp/links/" +
                                                        std::to_string(i) + "/"
                                                  : LinkAddress(folder, names[i]));
  }
  std::mt19937 engine(7);
  for (std::size_t l = 0; l < links; ++l) {
    std::string href = l % 10 == 9 ? "../elsewhere/" + std::to_string(l) + ".png"
                                   : inversion.fileAddresses[engine() % files];
    inversion.links.push_back({std::move(href)});
  }
  std::shuffle(inversion.links.begin(), inversion.links.end(), engine);
  return inversion;
}

const Inversion& TenThousandSquared() {
  static const Inversion inversion = MakeInversion(10'000, 10'000);
  return inversion;
}

void BM_InversionLinkMatcher(benchmark::State& state) {
  const Inversion& inversion = TenThousandSquared();
  for (auto _ : state) {
    LinkMatcher matcher(inversion.fileAddresses);
    std::size_t found = 0;
    for (const ReferenceLink& link : inversion.links) found += matcher.Match(link.href) ? 1 : 0;
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_InversionLinkMatcher)->Unit(benchmark::kMillisecond);

void BM_InversionNestedLoop(benchmark::State& state) {
  const Inversion& inversion = TenThousandSquared();
  for (auto _ : state) {
    ReferenceMatches matches = NestedLoopMatches(inversion.fileAddresses, inversion.links);
    benchmark::DoNotOptimize(matches.data());
  }
}
BENCHMARK(BM_InversionNestedLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervane::bench
