// The adoption agency algorithm, which mends misnested formatting end tags
// (<b><p></b>) by moving and cloning elements. Its loop limits keep it
// linear in the depth it touches.
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {

bool TreeBuilder::AdoptionAgency(Token& token) {
  const std::string& subject = token.name;
  const Node* current = open_.Current().node;
  if (current->ns == Namespace::kHtml && current->name == subject &&
      !formatting_.Contains(current)) {
    open_.Pop();
    return true;
  }
  for (int outer = 0; outer < 8; ++outer) {
    const std::size_t formattingIndex = formatting_.LastAfterMarker(subject);
    if (formattingIndex == ActiveFormatting::kNone) return false;
    Node* formattingElement = formatting_[formattingIndex];
    if (!open_.Contains(formattingElement)) {
      formatting_.EraseAt(formattingIndex);
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
      formatting_.Remove(formattingElement);
      return true;
    }
    Node* furthestBlock = open_[furthestIndex].node;
    Node* commonAncestor = open_[elementIndex - 1].node;
    // Where the new formatting element goes in the list: before the entry
    // now at this index.
    std::size_t bookmark = formattingIndex;
    Node* lastNode = furthestBlock;
    std::size_t nodeIndex = furthestIndex;
    for (int inner = 1;; ++inner) {
      --nodeIndex;
      Node* node = open_[nodeIndex].node;
      if (node == formattingElement) break;
      std::size_t entry = formatting_.IndexOf(node);
      if (inner > 3 && entry != ActiveFormatting::kNone) {
        formatting_.EraseAt(entry);
        if (entry < bookmark) --bookmark;
        entry = ActiveFormatting::kNone;
      }
      if (entry == ActiveFormatting::kNone) {
        open_.Remove(node);
        continue;
      }
      Node* clone = CloneFormatting(node);
      formatting_.ReplaceAt(entry, clone);
      open_.ReplaceAt(nodeIndex, clone, open_[nodeIndex].tag);
      node = clone;
      if (lastNode == furthestBlock) bookmark = entry + 1;
      AppendChild(node, lastNode);
      lastNode = node;
    }
    Detach(lastNode);
    InsertAt(AppropriatePlace(commonAncestor), lastNode);

    Node* newElement = CloneFormatting(formattingElement);
    MoveChildren(furthestBlock, newElement);
    AppendChild(furthestBlock, newElement);

    const std::size_t oldEntry = formatting_.IndexOf(formattingElement);
    if (oldEntry != ActiveFormatting::kNone) {
      formatting_.EraseAt(oldEntry);
      if (oldEntry < bookmark) --bookmark;
    }
    formatting_.InsertAt(bookmark, newElement);

    open_.Remove(formattingElement);
    open_.InsertAt(open_.IndexOf(furthestBlock) + 1, newElement, LookupTag(newElement->name));
  }
  return true;
}

}  // namespace tervane::html
