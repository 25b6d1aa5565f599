// Pages nested far deeper than a call stack could follow: parsing, walking
// and destroying them must not recurse. Each page nests kDepth elements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/platform/html/document.h"

namespace tervane::html {
namespace {

constexpr int kDepth = 100000;

struct DeepCase {
  const char* name;
  const char* open;     // repeated kDepth times
  const char* deepest;  // the innermost element's name, "#contents" for a template's
  int elementsPerRepeat;
};

const DeepCase kCases[] = {
    {"Divs", "<div>", "div", 1},
    {"Spans", "<span>", "span", 1},
    {"Formatting", "<b>", "b", 1},
    {"Svg", "<svg><g>", "g", 2},
    {"Tables", "<table><tr><td>", "td", 4},
    {"Templates", "<template>", "#contents", 1},
    {"ListsInLists", "<ul><li>", "li", 2},
};

std::size_t DepthOf(const Node* node) {
  std::size_t depth = 0;
  for (; node->parent != nullptr; node = node->parent) ++depth;
  return depth;
}

class DeepPageTest : public testing::TestWithParam<DeepCase> {};

TEST_P(DeepPageTest, NestsWithoutLimit) {
  const DeepCase& test = GetParam();
  std::string page;
  for (int i = 0; i < kDepth; ++i) page += test.open;
  page += "x";
  const ParseResult result = Parse(page);
  const Node* deepest = nullptr;
  std::size_t maxDepth = 0;
  std::vector<const Node*> pending{result.document.root};
  while (!pending.empty()) {
    const Node* node = pending.back();
    pending.pop_back();
    if (node->kind == NodeKind::kText) {
      ASSERT_EQ(deepest, nullptr) << "one text node";
      deepest = node->parent;
      maxDepth = DepthOf(node);
    }
    for (const Node* child = node->firstChild; child != nullptr; child = child->nextSibling) {
      pending.push_back(child);
    }
    if (const Node* contents = result.document.TemplateContents(node)) pending.push_back(contents);
  }
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->kind == NodeKind::kDocument ? "#contents" : deepest->name, test.deepest);
  // Templates nest through their contents, which have no parent.
  if (deepest->kind != NodeKind::kDocument) {
    EXPECT_GE(maxDepth, static_cast<std::size_t>(kDepth) * test.elementsPerRepeat);
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, DeepPageTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DeepCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tervane::html
