// Where the tree builder puts nodes: the appropriate place for inserting a
// node (with foster parenting and template contents), and text that joins
// the text node before it.
#include <cstring>

#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

bool IsTablePart(const Node& node) {
  if (node.ns != Namespace::kHtml) return false;
  const Tag tag = LookupTag(node.name);
  return tag == Tag::kTable || tag == Tag::kTbody || tag == Tag::kTfoot || tag == Tag::kThead ||
         tag == Tag::kTr;
}

}  // namespace

TreeBuilder::Place TreeBuilder::AppropriatePlace(Node* target) const {
  if (target == nullptr) target = open_.Current().node;
  Place place{target, nullptr};
  if (fosterParenting_ && IsTablePart(*target)) {
    const std::size_t none = open_.size();
    const std::size_t lastTemplate = open_.TopmostIndex(Tag::kTemplate);
    const std::size_t lastTable = open_.TopmostIndex(Tag::kTable);
    if (lastTemplate != none && (lastTable == none || lastTemplate > lastTable)) {
      place = {open_[lastTemplate].node, nullptr};
    } else if (lastTable == none) {
      place = {open_[0].node, nullptr};
    } else if (Node* table = open_[lastTable].node; table->parent != nullptr) {
      place = {table->parent, table};
    } else {
      place = {open_[lastTable - 1].node, nullptr};
    }
  }
  if (Node* contents = document_.TemplateContents(place.parent)) place = {contents, nullptr};
  return place;
}

Node* TreeBuilder::CreateElement(Token& token, Namespace ns) {
  Node* element = document_.NewNode(NodeKind::kElement);
  element->ns = ns;
  const std::string_view knownName = TagName(tag_);
  element->name = knownName == token.name ? knownName : document_.arena.Copy(token.name);
  element->SetAttributes(CopyAttributes(token.attributes, {}));
  token.attributes.clear();
  element->offset = token.offset;
  if (ns == Namespace::kHtml && tag_ == Tag::kTemplate) {
    Node* contents = document_.NewNode(NodeKind::kDocument);
    contents->offset = token.offset;
    document_.templateContents.emplace(element, contents);
  }
  return element;
}

std::span<const ElementAttribute> TreeBuilder::CopyAttributes(
    const std::vector<Attribute>& attributes, std::span<const ElementAttribute> before) {
  if (attributes.empty()) return before;
  const std::size_t count = before.size() + attributes.size();
  auto* copy = static_cast<ElementAttribute*>(
      document_.arena.Allocate(count * sizeof(ElementAttribute), alignof(ElementAttribute)));
  std::size_t size = 0;
  for (const ElementAttribute& attribute : before) copy[size++] = attribute;
  for (const Attribute& attribute : attributes) {
    copy[size++] = {document_.arena.Copy(attribute.name), document_.arena.Copy(attribute.value)};
  }
  return {copy, size};
}

void TreeBuilder::InsertAt(Place place, Node* node) {
  Node* parent = place.parent;
  Node* before = place.before;
  node->parent = parent;
  node->nextSibling = before;
  node->previousSibling = before != nullptr ? before->previousSibling : parent->lastChild;
  (node->previousSibling != nullptr ? node->previousSibling->nextSibling : parent->firstChild) =
      node;
  (before != nullptr ? before->previousSibling : parent->lastChild) = node;
}

Node* TreeBuilder::InsertHtmlElement(Token& token) {
  Node* element = CreateElement(token, Namespace::kHtml);
  InsertAt(AppropriatePlace(), element);
  open_.Push(element, tag_);
  return element;
}

Node* TreeBuilder::InsertSyntheticElement(Tag tag, std::string_view name, std::size_t offset) {
  Node* element = document_.NewNode(NodeKind::kElement);
  element->name = name;
  element->offset = offset;
  InsertAt(AppropriatePlace(), element);
  open_.Push(element, tag);
  return element;
}

Node* TreeBuilder::InsertForeignElement(Token& token, Namespace ns) {
  Node* element = CreateElement(token, ns);
  InsertAt(AppropriatePlace(), element);
  open_.Push(element, TagOfElement(*element));
  return element;
}

void TreeBuilder::InsertText(std::string_view text, std::size_t offset) {
  if (text.empty()) return;
  const Place place = AppropriatePlace();
  if (place.parent == document_.root) return;
  Node* previous =
      place.before != nullptr ? place.before->previousSibling : place.parent->lastChild;
  if (previous != nullptr && previous->kind == NodeKind::kText) {
    AppendText(*previous, text);
    return;
  }
  Node* node = document_.NewNode(NodeKind::kText);
  AppendText(*node, text);
  node->offset = offset;
  InsertAt(place, node);
}

void TreeBuilder::InsertComment(Token& token, Node* parent) {
  Node* comment = document_.NewNode(NodeKind::kComment);
  comment->data = document_.arena.Copy(token.data);
  comment->offset = token.offset;
  if (parent != nullptr) {
    AppendChild(parent, comment);
  } else {
    InsertAt(AppropriatePlace(), comment);
  }
}

void TreeBuilder::AppendChild(Node* parent, Node* child) {
  Detach(child);
  InsertAt({parent, nullptr}, child);
}

void TreeBuilder::Detach(Node* node) {
  Node* parent = node->parent;
  if (parent == nullptr) return;
  (node->previousSibling != nullptr ? node->previousSibling->nextSibling : parent->firstChild) =
      node->nextSibling;
  (node->nextSibling != nullptr ? node->nextSibling->previousSibling : parent->lastChild) =
      node->previousSibling;
  node->parent = nullptr;
  node->previousSibling = nullptr;
  node->nextSibling = nullptr;
}

void TreeBuilder::MoveChildren(Node* from, Node* to) {
  if (from->firstChild == nullptr) return;
  for (Node* child = from->firstChild; child != nullptr; child = child->nextSibling) {
    child->parent = to;
  }
  from->firstChild->previousSibling = to->lastChild;
  (to->lastChild != nullptr ? to->lastChild->nextSibling : to->firstChild) = from->firstChild;
  to->lastChild = from->lastChild;
  from->firstChild = nullptr;
  from->lastChild = nullptr;
}

void TreeBuilder::MergeAttributes(Token& token, Node* element) {
  std::vector<Attribute> missing;
  for (Attribute& attribute : token.attributes) {
    if (!element->FindAttribute(attribute.name)) missing.push_back(std::move(attribute));
  }
  element->SetAttributes(CopyAttributes(missing, element->Attributes()));
}

void TreeBuilder::AppendText(Node& node, std::string_view text) {
  if (text.empty()) return;
  const std::size_t size = node.data.size();
  // Arena memory is never const: only the views of it are.
  char* end = const_cast<char*>(node.data.data()) + size;
  if (size != 0 && document_.arena.Extend(end, text.size())) {
    std::memcpy(end, text.data(), text.size());
    node.data = {node.data.data(), size + text.size()};
    return;
  }
  const auto room = textRoom_.find(&node);
  if (room != textRoom_.end() && text.size() <= room->second) {
    std::memcpy(end, text.data(), text.size());
    node.data = {node.data.data(), size + text.size()};
    room->second -= text.size();
    return;
  }
  // Text that grows again away from the end of the arena (text
  // foster-parented before a table, say) gets as much room again as it has:
  // linear in time and memory however often it grows.
  const std::size_t spare = size == 0 ? 0 : size + text.size();
  char* copy = static_cast<char*>(document_.arena.Allocate(size + text.size() + spare, 1));
  if (size != 0) std::memcpy(copy, node.data.data(), size);
  std::memcpy(copy + size, text.data(), text.size());
  node.data = {copy, size + text.size()};
  if (spare != 0) textRoom_[&node] = spare;
}

}  // namespace tervane::html
