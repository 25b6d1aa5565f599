// Reconstructing the active formatting elements that were closed while
// still in the list.
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
Node* TreeBuilder::CloneFormatting(const Node* element) {
  Node* clone = document_.NewNode(NodeKind::kElement);
  clone->name = element->name;
  clone->SetAttributes(element->Attributes());
  clone->offset = offset_;
  return clone;
}

void TreeBuilder::ReconstructFormatting() {
  if (formatting_.empty()) return;
  const Node* last = formatting_[formatting_.size() - 1];
  if (last == nullptr || open_.Contains(last)) return;
  std::size_t i = formatting_.size() - 1;
  while (i > 0 && formatting_[i - 1] != nullptr && !open_.Contains(formatting_[i - 1])) --i;
  for (; i < formatting_.size(); ++i) {
    Node* clone = CloneFormatting(formatting_[i]);
    InsertAt(AppropriatePlace(), clone);
    open_.Push(clone, LookupTag(clone->name));
    formatting_.ReplaceAt(i, clone);
  }
}

}  // namespace tervane::html
