#include "addin/platform/html/document.h"

#include "addin/platform/html/tree_builder.h"

namespace tervane::html {

const std::string* Node::FindAttribute(std::string_view attributeName) const {
  for (const Attribute& attribute : attributes) {
    if (attribute.name == attributeName) return &attribute.value;
  }
  return nullptr;
}

Node* Document::NewNode(NodeKind kind) {
  Node& node = arena.emplace_back();
  node.kind = kind;
  return &node;
}

ParseResult Parse(std::string_view input, const ParseOptions& options) {
  ParseResult result;
  result.document.root = result.document.NewNode(NodeKind::kDocument);
  TreeBuilder(input, options, result).Run();
  return result;
}

}  // namespace tervane::html
