// The list of active formatting elements: markers, the Noah's Ark clause
// and reconstruction.
#include <algorithm>

#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

bool SameAttributes(const Node& a, const Node& b) {
  if (a.attributes.size() != b.attributes.size()) return false;
  for (const Attribute& attribute : a.attributes) {
    const std::string* value = b.FindAttribute(attribute.name);
    if (value == nullptr || *value != attribute.value) return false;
  }
  return true;
}

}  // namespace

void TreeBuilder::PushFormatting(Node* element) {
  std::size_t matches = 0;
  std::size_t earliest = formatting_.size();
  for (std::size_t i = formatting_.size(); i-- > 0;) {
    const Node* entry = formatting_[i];
    if (entry == nullptr) break;
    if (entry->name == element->name && SameAttributes(*entry, *element)) {
      ++matches;
      earliest = i;
    }
  }
  if (matches >= 3) formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(earliest));
  formatting_.push_back(element);
}

void TreeBuilder::InsertMarker() { formatting_.push_back(nullptr); }

void TreeBuilder::ClearFormattingToLastMarker() {
  while (!formatting_.empty()) {
    const bool marker = formatting_.back() == nullptr;
    formatting_.pop_back();
    if (marker) return;
  }
}

void TreeBuilder::RemoveFormatting(const Node* element) {
  const std::size_t index = FormattingIndexOf(element);
  if (index != formatting_.size()) {
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

std::size_t TreeBuilder::FormattingIndexOf(const Node* element) const {
  for (std::size_t i = formatting_.size(); i-- > 0;) {
    if (formatting_[i] == element) return i;
  }
  return formatting_.size();
}

std::size_t TreeBuilder::LastFormattingAfterMarker(std::string_view name) const {
  for (std::size_t i = formatting_.size(); i-- > 0;) {
    if (formatting_[i] == nullptr) break;
    if (formatting_[i]->name == name) return i;
  }
  return std::string_view::npos;
}

Node* TreeBuilder::CloneFormatting(const Node* element) {
  Node* clone = document_.NewNode(NodeKind::kElement);
  clone->name = element->name;
  clone->attributes = element->attributes;
  clone->offset = offset_;
  return clone;
}

void TreeBuilder::ReconstructFormatting() {
  if (formatting_.empty()) return;
  const Node* last = formatting_.back();
  if (last == nullptr || open_.Contains(last)) return;
  std::size_t i = formatting_.size() - 1;
  while (i > 0 && formatting_[i - 1] != nullptr && !open_.Contains(formatting_[i - 1])) --i;
  for (; i < formatting_.size(); ++i) {
    Node* clone = CloneFormatting(formatting_[i]);
    InsertAt(AppropriatePlace(), clone);
    open_.Push(clone, LookupTag(clone->name));
    formatting_[i] = clone;
  }
}

}  // namespace tervane::html
