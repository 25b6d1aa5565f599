// The HTML tokenizer over a large page of ordinary markup, and over a page
// that is one long run of text: bytes per second, whole pages.
#include <benchmark/benchmark.h>

#include <string>

#include "addin/platform/html/tokenizer.h"

namespace tervane::bench {
namespace {

// About `bytes` of a listing page: links with attributes and references,
// Japanese and accented text, comments, CR LF line ends.
std::string ListingPage(std::size_t bytes) {
  std::string page = "<!DOCTYPE html>\r\n<html><head><title>Material</title></head><body>\r\n";
  for (std::size_t k = 0; page.size() < bytes; ++k) {
    const std::string n = std::to_string(k);
    page += "<div class=\"item c" + std::to_string(k % 7) + "\" id=i" + n +
            "><a href=\"/material/" + n + "?size=large&amp;kind=photo\">Fotografía " + n +
            " 夏の写真 &eacute;t&eacute;</a> lorem ipsum dolor sit amet</div>\r\n<!-- " + n +
            " -->\r\n";
  }
  return page + "</body></html>\r\n";
}

void Tokenize(benchmark::State& state, const std::string& page) {
  for (auto _ : state) {
    html::Tokenizer tokenizer(page);
    html::Token token;
    std::size_t count = 0;
    do {
      tokenizer.Next(token);
      ++count;
    } while (token.kind != html::TokenKind::kEndOfFile);
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

void BM_TokenizeListingPage(benchmark::State& state) {
  Tokenize(state, ListingPage(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_TokenizeListingPage)->Arg(32 << 20)->Unit(benchmark::kMillisecond);

void BM_TokenizeOneRunOfText(benchmark::State& state) {
  std::string page;
  while (page.size() < static_cast<std::size_t>(state.range(0)))
    page += "Lorem ipsum dolor sit amet. ";
  Tokenize(state, page);
}
BENCHMARK(BM_TokenizeOneRunOfText)->Arg(32 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervane::bench
