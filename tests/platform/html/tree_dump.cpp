#include "tests/platform/html/tree_dump.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "addin/platform/html/foreign_names.h"

namespace tervane::html {
namespace {

void Line(std::string& out, std::size_t depth, const std::string& text) {
  out += "| ";
  out.append(depth * 2, ' ');
  out += text;
  out += '\n';
}

void DumpElement(std::string& out, std::size_t depth, const Node& element) {
  std::string tag = "<";
  if (element.ns == Namespace::kSvg) tag += "svg ";
  if (element.ns == Namespace::kMathMl) tag += "math ";
  Line(out, depth, tag + std::string(element.name) + ">");
  std::vector<std::pair<std::string, std::string>> attributes;
  for (const ElementAttribute& attribute : element.Attributes()) {
    std::string name(attribute.name);
    if (element.ns != Namespace::kHtml && IsAdjustedForeignAttribute(name)) {
      const std::size_t colon = name.find(':');
      if (colon != std::string::npos) name[colon] = ' ';
    }
    attributes.emplace_back(std::move(name), attribute.value);
  }
  std::sort(attributes.begin(), attributes.end());
  for (const auto& [name, value] : attributes) Line(out, depth + 1, name + "=\"" + value + "\"");
}

}  // namespace

std::string DumpTree(const Document& document) {
  std::string out;
  // Nodes still to write, with their depth, the next one last.
  std::vector<std::pair<const Node*, std::size_t>> pending;
  const auto pushChildren = [&pending](const Node& parent, std::size_t depth) {
    for (const Node* child = parent.lastChild; child != nullptr; child = child->previousSibling) {
      pending.emplace_back(child, depth);
    }
  };
  pushChildren(*document.root, 0);
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    switch (node->kind) {
      case NodeKind::kDoctype: {
        std::string text = "<!DOCTYPE " + std::string(node->name);
        if (document.doctypePublicId || document.doctypeSystemId) {
          text += " \"" + std::string(document.doctypePublicId.value_or("")) + "\" \"" +
                  std::string(document.doctypeSystemId.value_or("")) + "\"";
        }
        Line(out, depth, text + ">");
        break;
      }
      case NodeKind::kElement:
        DumpElement(out, depth, *node);
        pushChildren(*node, depth + 1);
        if (const Node* contents = document.TemplateContents(node)) {
          pushChildren(*contents, depth + 2);
          // Written now, before the contents just queued.
          Line(out, depth + 1, "content");
        }
        break;
      case NodeKind::kText:
        Line(out, depth, "\"" + std::string(node->data) + "\"");
        break;
      case NodeKind::kComment:
        Line(out, depth, "<!-- " + std::string(node->data) + " -->");
        break;
      case NodeKind::kDocument:
        break;
    }
  }
  return out;
}

}  // namespace tervane::html
