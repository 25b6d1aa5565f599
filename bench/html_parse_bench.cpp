// The whole HTML parser over large pages, and over pages built to find
// quadratic corners of tree construction (deep stacks with end tags that
// close nothing, long lists of formatting elements). Each page doubles with
// the argument: the time should double with it.
#include <benchmark/benchmark.h>

#include <string>

#include "addin/platform/html/document.h"

namespace tervane::html {
namespace {

std::string Repeat(const std::string& part, std::int64_t count) {
  std::string page;
  page.reserve(part.size() * static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) page += part;
  return page;
}

void Run(benchmark::State& state, const std::string& page) {
  for (auto _ : state) benchmark::DoNotOptimize(Parse(page).document.nodeCount);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

void BM_ParseArticles(benchmark::State& state) {
  Run(state, "<!DOCTYPE html><title>t</title>" +
                 Repeat("<div class=a><p>Some <b>text</b> and <a href='/x'>a link</a>.</p>"
                        "<table><tr><td>1<td>2</table></div>\n",
                        state.range(0)));
}

void BM_ParseDeepSpansUnmatchedEndTags(benchmark::State& state) {
  Run(state, "<foo><div>" + Repeat("<span>", state.range(0)) + Repeat("</foo>", state.range(0)));
}

void BM_ParseDeepSvgUnmatchedEndTags(benchmark::State& state) {
  Run(state, "<svg>" + Repeat("<g>", state.range(0)) + Repeat("</x>", state.range(0)));
}

void BM_ParseListItemsUnderDeepDivs(benchmark::State& state) {
  Run(state, "<section>" + Repeat("<div>", state.range(0)) + Repeat("<li></li>", state.range(0)));
}

void BM_ParseDistinctFormatting(benchmark::State& state) {
  std::string page;
  for (std::int64_t i = 0; i < state.range(0); ++i) page += "<b id=" + std::to_string(i) + ">";
  Run(state, page + Repeat("<a>x", state.range(0)));
}

void BM_ParseScopeBehindObject(benchmark::State& state) {
  Run(state, "<p><object>" + Repeat("<span>", state.range(0)) + Repeat("<div>", state.range(0)));
}

void BM_ParseTemplatesUnderDeepDivs(benchmark::State& state) {
  Run(state, Repeat("<div>", state.range(0)) + Repeat("<template></template>", state.range(0)));
}

// Each run of text is foster-parented before the table and joins the text
// node there, which never ends the document's arena.
void BM_ParseTextFosteredBeforeTable(benchmark::State& state) {
  Run(state, "<table>" + Repeat("text<tr>", state.range(0)));
}

BENCHMARK(BM_ParseArticles)->Arg(10'000)->Arg(20'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDeepSpansUnmatchedEndTags)
    ->Arg(20'000)
    ->Arg(40'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDeepSvgUnmatchedEndTags)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseListItemsUnderDeepDivs)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDistinctFormatting)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseScopeBehindObject)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseTextFosteredBeforeTable)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseTemplatesUnderDeepDivs)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tervane::html
