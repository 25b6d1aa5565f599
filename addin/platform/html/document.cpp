#include "addin/platform/html/document.h"

#include "addin/platform/html/tree_builder.h"

namespace tervane::html {

std::optional<std::string_view> Node::FindAttribute(std::string_view attributeName) const {
  for (const ElementAttribute& attribute : Attributes()) {
    if (attribute.name == attributeName) return attribute.value;
  }
  return std::nullopt;
}

Node* Document::NewNode(NodeKind kind) {
  Node* node = arena.New<Node>();
  node->kind = kind;
  ++nodeCount;
  return node;
}

Node* Document::TemplateContents(const Node* element) const {
  if (templateContents.empty() || element->name != "template") return nullptr;
  const auto found = templateContents.find(element);
  return found == templateContents.end() ? nullptr : found->second;
}

ParseResult Parse(std::string_view input, const ParseOptions& options) {
  ParseResult result;
  result.document.root = result.document.NewNode(NodeKind::kDocument);
  TreeBuilder(input, options, result).Run();
  return result;
}

}  // namespace tervane::html
