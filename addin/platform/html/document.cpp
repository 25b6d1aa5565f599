#include "addin/platform/html/document.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "addin/platform/html/tree_builder.h"

namespace tervane::html {

std::optional<std::string_view> Node::FindAttribute(std::string_view attributeName) const {
  for (const ElementAttribute& attribute : attributes) {
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

void Document::AppendText(Node& node, std::string_view text) {
  if (text.empty()) return;
  const std::size_t size = node.data.size();
  const char* end = node.data.data() + size;
  if (text.size() <= node.dataRoom || (size != 0 && arena.Extend(end, text.size()))) {
    // Arena memory is never const: only the views of it are.
    std::memcpy(const_cast<char*>(end), text.data(), text.size());
    node.data = {node.data.data(), size + text.size()};
    node.dataRoom -= static_cast<std::uint32_t>(std::min<std::size_t>(node.dataRoom, text.size()));
    return;
  }
  // Text that grows again away from the end of the arena (text
  // foster-parented before a table, say) gets as much room again as it has:
  // linear in time and memory however often it grows.
  const std::size_t room =
      size == 0
          ? 0
          : std::min<std::size_t>(size + text.size(), std::numeric_limits<std::uint32_t>::max());
  char* copy = static_cast<char*>(arena.Allocate(size + text.size() + room, 1));
  if (size != 0) std::memcpy(copy, node.data.data(), size);
  std::memcpy(copy + size, text.data(), text.size());
  node.data = {copy, size + text.size()};
  node.dataRoom = static_cast<std::uint32_t>(room);
}

ParseResult Parse(std::string_view input, const ParseOptions& options) {
  ParseResult result;
  result.document.root = result.document.NewNode(NodeKind::kDocument);
  TreeBuilder(input, options, result).Run();
  return result;
}

}  // namespace tervane::html
