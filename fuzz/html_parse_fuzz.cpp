// Pages of any bytes, parsed with scripting on and off. The tree holds
// together: one html element under the document, every child pointing back
// to its parent, no node reached twice, no empty text; and the honoured
// "</body>" lies in the page, where "</" and "body" (in any case) stand.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/platform/html/document.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;
using tervane::html::Node;
using tervane::html::NodeKind;

namespace {

bool IsBodyEndTag(std::string_view page, std::size_t at) {
  if (at > page.size() || page.size() - at < 6 || page.substr(at, 2) != "</") return false;
  for (std::size_t i = 0; i < 4; ++i) {
    char c = page[at + 2 + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != "body"[i]) return false;
  }
  return true;
}

void CheckTree(const tervane::html::Document& document) {
  const Node* root = document.root;
  Check(root != nullptr && root->kind == NodeKind::kDocument, "a document node");
  std::size_t htmlElements = 0;
  for (const Node* child = root->firstChild; child != nullptr; child = child->nextSibling) {
    Check(child->kind != NodeKind::kText, "no text under the document");
    if (child->kind == NodeKind::kElement) {
      Check(child->name == "html", "the document element is html");
      ++htmlElements;
    }
  }
  Check(htmlElements == 1, "one html element");
  std::size_t visited = 0;
  std::vector<const Node*> pending{root};
  while (!pending.empty()) {
    const Node* node = pending.back();
    pending.pop_back();
    Check(++visited <= document.nodeCount, "no node is reached twice");
    if (node->kind == NodeKind::kText) Check(!node->data.empty(), "no empty text");
    if (node->kind == NodeKind::kElement) Check(!node->name.empty(), "elements have names");
    const Node* previous = nullptr;
    for (const Node* child = node->firstChild; child != nullptr; child = child->nextSibling) {
      Check(child->parent == node, "children point to their parent");
      Check(child->previousSibling == previous, "siblings point to each other");
      previous = child;
      Check(child->kind != NodeKind::kDocument, "no document inside the tree");
      pending.push_back(child);
    }
    Check(node->lastChild == previous, "the last child ends the list of children");
    if (const Node* contents = document.TemplateContents(node)) {
      Check(contents->kind == NodeKind::kDocument, "template contents");
      Check(node->firstChild == nullptr, "templates keep their children in their contents");
      pending.push_back(contents);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  for (const bool scripting : {true, false}) {
    const tervane::html::ParseResult result = tervane::html::Parse(page, {.scripting = scripting});
    CheckTree(result.document);
    if (result.bodyEndTag) {
      Check(IsBodyEndTag(page, *result.bodyEndTag), "the body's end tag is where it is said");
    } else {
      Check(!result.bodyClosedClean, "no clean end without an end tag");
    }
  }
  return 0;
}
