// Where the tree builder puts nodes: the appropriate place for inserting a
// node (with foster parenting and template contents), and text that joins
// the text node before it.
#include <algorithm>

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
  if (place.parent->templateContents != nullptr) place = {place.parent->templateContents, nullptr};
  return place;
}

Node* TreeBuilder::CreateElement(Token& token, Namespace ns) {
  Node* element = document_.NewNode(NodeKind::kElement);
  element->ns = ns;
  element->name = token.name;
  element->attributes = std::move(token.attributes);
  token.attributes.clear();
  element->offset = token.offset;
  if (ns == Namespace::kHtml && tag_ == Tag::kTemplate) {
    element->templateContents = document_.NewNode(NodeKind::kDocument);
    element->templateContents->offset = token.offset;
  }
  return element;
}

void TreeBuilder::InsertAt(Place place, Node* node) {
  node->parent = place.parent;
  std::vector<Node*>& children = place.parent->children;
  if (place.before == nullptr) {
    children.push_back(node);
    return;
  }
  const auto at = std::find(children.rbegin(), children.rend(), place.before);
  children.insert(at == children.rend() ? children.end() : std::prev(at.base()), node);
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
  std::vector<Node*>& children = place.parent->children;
  auto at = children.end();
  if (place.before != nullptr) {
    const auto found = std::find(children.rbegin(), children.rend(), place.before);
    if (found != children.rend()) at = std::prev(found.base());
  }
  if (at != children.begin() && (*std::prev(at))->kind == NodeKind::kText) {
    (*std::prev(at))->data.append(text);
    return;
  }
  Node* node = document_.NewNode(NodeKind::kText);
  node->data = text;
  node->offset = offset;
  node->parent = place.parent;
  children.insert(at, node);
}

void TreeBuilder::InsertComment(Token& token, Node* parent) {
  Node* comment = document_.NewNode(NodeKind::kComment);
  comment->data = std::move(token.data);
  comment->offset = token.offset;
  if (parent != nullptr) {
    AppendChild(parent, comment);
  } else {
    InsertAt(AppropriatePlace(), comment);
  }
}

void TreeBuilder::AppendChild(Node* parent, Node* child) {
  Detach(child);
  child->parent = parent;
  parent->children.push_back(child);
}

void TreeBuilder::Detach(Node* node) {
  if (node->parent == nullptr) return;
  std::vector<Node*>& siblings = node->parent->children;
  const auto found = std::find(siblings.rbegin(), siblings.rend(), node);
  if (found != siblings.rend()) siblings.erase(std::prev(found.base()));
  node->parent = nullptr;
}

void TreeBuilder::MergeAttributes(Token& token, Node* element) {
  for (Attribute& attribute : token.attributes) {
    if (element->FindAttribute(attribute.name) == nullptr) {
      element->attributes.push_back(std::move(attribute));
    }
  }
}

}  // namespace tervane::html
