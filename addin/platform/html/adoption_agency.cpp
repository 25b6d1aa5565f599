// The adoption agency algorithm, which mends misnested formatting end tags
// (<b><p></b>) by moving and cloning elements. Its loop limits keep it
// linear in the depth it touches.
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {

bool TreeBuilder::AdoptionAgency(Token& token) {
  const std::string& subject = token.name;
  if (open_.Current().node->ns == Namespace::kHtml && open_.Current().node->name == subject &&
      FormattingIndexOf(open_.Current().node) == formatting_.size()) {
    open_.Pop();
    return true;
  }
  for (int outer = 0; outer < 8; ++outer) {
    const std::size_t formattingIndex = LastFormattingAfterMarker(subject);
    if (formattingIndex == std::string_view::npos) return false;
    Node* formattingElement = formatting_[formattingIndex];
    if (!open_.Contains(formattingElement)) {
      formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(formattingIndex));
      return true;
    }
    if (!open_.HasNodeInScope(formattingElement, Scope::kDefault)) return true;
    const std::size_t elementIndex = open_.IndexOf(formattingElement);
    std::size_t furthestIndex = elementIndex + 1;
    while (furthestIndex < open_.size() &&
           !IsSpecial(open_[furthestIndex].node->ns, open_[furthestIndex].tag)) {
      ++furthestIndex;
    }
    if (furthestIndex == open_.size()) {
      open_.PopUntilNode(formattingElement);
      RemoveFormatting(formattingElement);
      return true;
    }
    Node* furthestBlock = open_[furthestIndex].node;
    Node* commonAncestor = open_[elementIndex - 1].node;
    std::size_t bookmark = formattingIndex;
    Node* lastNode = furthestBlock;
    std::size_t nodeIndex = furthestIndex;
    for (int inner = 1;; ++inner) {
      --nodeIndex;
      Node* node = open_[nodeIndex].node;
      if (node == formattingElement) break;
      std::size_t entry = FormattingIndexOf(node);
      if (inner > 3 && entry != formatting_.size()) {
        formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(entry));
        if (entry < bookmark) --bookmark;
        entry = formatting_.size();
      }
      if (entry == formatting_.size()) {
        open_.Remove(node);
        continue;
      }
      Node* clone = CloneFormatting(node);
      formatting_[entry] = clone;
      open_.ReplaceAt(nodeIndex, clone, open_[nodeIndex].tag);
      node = clone;
      if (lastNode == furthestBlock) bookmark = entry + 1;
      AppendChild(node, lastNode);
      lastNode = node;
    }
    Detach(lastNode);
    InsertAt(AppropriatePlace(commonAncestor), lastNode);

    Node* newElement = CloneFormatting(formattingElement);
    for (Node* child : furthestBlock->children) child->parent = newElement;
    newElement->children = std::move(furthestBlock->children);
    furthestBlock->children.clear();
    AppendChild(furthestBlock, newElement);

    const std::size_t oldEntry = FormattingIndexOf(formattingElement);
    if (oldEntry != formatting_.size()) {
      formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(oldEntry));
      if (oldEntry < bookmark) --bookmark;
    }
    if (bookmark > formatting_.size()) bookmark = formatting_.size();
    formatting_.insert(formatting_.begin() + static_cast<std::ptrdiff_t>(bookmark), newElement);

    open_.Remove(formattingElement);
    open_.InsertAt(open_.IndexOf(furthestBlock) + 1, newElement, LookupTag(newElement->name));
  }
  return true;
}

}  // namespace tervane::html
