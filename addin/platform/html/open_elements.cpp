#include "addin/platform/html/open_elements.h"

#include <algorithm>

namespace tervane::html {

void OpenElements::Track(const OpenElement& element, int delta) {
  if (element.node->ns != Namespace::kHtml) return;
  const auto index = static_cast<std::size_t>(element.tag);
  counts_[index] += static_cast<std::size_t>(delta);
  if (element.tag == Tag::kOther) {
    if (delta > 0) {
      ++otherCounts_[element.node->name];
    } else {
      const auto found = otherCounts_.find(element.node->name);
      if (found != otherCounts_.end() && --found->second == 0) otherCounts_.erase(found);
    }
  } else if (IsFormatting(element.tag)) {
    if (delta > 0) {
      openFormatting_.insert(element.node);
    } else {
      openFormatting_.erase(element.node);
    }
  }
}

void OpenElements::Push(Node* node, Tag tag) {
  stack_.push_back({node, tag});
  Track(stack_.back(), 1);
}

void OpenElements::Pop() {
  Track(stack_.back(), -1);
  stack_.pop_back();
}

void OpenElements::Remove(const Node* node) {
  const std::size_t index = IndexOf(node);
  if (index == stack_.size()) return;
  Track(stack_[index], -1);
  stack_.erase(stack_.begin() + static_cast<std::ptrdiff_t>(index));
}

void OpenElements::InsertAt(std::size_t index, Node* node, Tag tag) {
  stack_.insert(stack_.begin() + static_cast<std::ptrdiff_t>(index), {node, tag});
  Track(stack_[index], 1);
}

void OpenElements::ReplaceAt(std::size_t index, Node* node, Tag tag) {
  Track(stack_[index], -1);
  stack_[index] = {node, tag};
  Track(stack_[index], 1);
}

bool OpenElements::MayHaveNamed(Tag tag, const std::string& name) const {
  if (tag != Tag::kOther) return Has(tag);
  return otherCounts_.count(name) != 0;
}

bool OpenElements::Contains(const Node* node) const {
  if (node->ns == Namespace::kHtml && IsFormatting(LookupTag(node->name))) {
    return openFormatting_.count(node) != 0;
  }
  return IndexOf(node) != stack_.size();
}

std::size_t OpenElements::IndexOf(const Node* node) const {
  for (std::size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].node == node) return i;
  }
  return stack_.size();
}

std::size_t OpenElements::TopmostIndex(Tag tag) const {
  if (!Has(tag)) return stack_.size();
  for (std::size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].Is(tag)) return i;
  }
  return stack_.size();
}

bool OpenElements::IsScopeBoundary(const OpenElement& element, Scope scope) {
  const Namespace ns = element.node->ns;
  const Tag tag = element.tag;
  if (scope == Scope::kSelect) {
    return !(ns == Namespace::kHtml && (tag == Tag::kOptgroup || tag == Tag::kOption));
  }
  if (ns == Namespace::kHtml) {
    switch (tag) {
      case Tag::kHtml:
      case Tag::kTable:
      case Tag::kTemplate:
        return true;
      case Tag::kApplet:
      case Tag::kCaption:
      case Tag::kTd:
      case Tag::kTh:
      case Tag::kMarquee:
      case Tag::kObject:
        return scope != Scope::kTable;
      case Tag::kOl:
      case Tag::kUl:
        return scope == Scope::kListItem;
      case Tag::kButton:
        return scope == Scope::kButton;
      default:
        return false;
    }
  }
  if (scope == Scope::kTable) return false;
  return IsSpecial(ns, tag);
}

bool OpenElements::HasInScope(Tag tag, Scope scope) const {
  if (!Has(tag)) return false;
  for (std::size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].Is(tag)) return true;
    if (IsScopeBoundary(stack_[i], scope)) return false;
  }
  return false;
}

bool OpenElements::HasNodeInScope(const Node* node, Scope scope) const {
  for (std::size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].node == node) return true;
    if (IsScopeBoundary(stack_[i], scope)) return false;
  }
  return false;
}

bool OpenElements::HasHeadingInScope() const {
  if (!Has(Tag::kH1) && !Has(Tag::kH2) && !Has(Tag::kH3) && !Has(Tag::kH4) && !Has(Tag::kH5) &&
      !Has(Tag::kH6)) {
    return false;
  }
  for (std::size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].node->ns == Namespace::kHtml && IsHeading(stack_[i].tag)) return true;
    if (IsScopeBoundary(stack_[i], Scope::kDefault)) return false;
  }
  return false;
}

void OpenElements::PopUntil(Tag tag) {
  while (!stack_.empty()) {
    const bool found = stack_.back().Is(tag);
    Pop();
    if (found) return;
  }
}

void OpenElements::PopUntilNode(const Node* node) {
  while (!stack_.empty()) {
    const bool found = stack_.back().node == node;
    Pop();
    if (found) return;
  }
}

void OpenElements::PopUntilHeading() {
  while (!stack_.empty()) {
    const bool found = stack_.back().node->ns == Namespace::kHtml && IsHeading(stack_.back().tag);
    Pop();
    if (found) return;
  }
}

void OpenElements::PopUntilCurrentIsOneOf(std::initializer_list<Tag> tags) {
  while (stack_.size() > 1) {
    const OpenElement& current = stack_.back();
    if (current.node->ns == Namespace::kHtml &&
        (current.tag == Tag::kHtml ||
         std::find(tags.begin(), tags.end(), current.tag) != tags.end())) {
      return;
    }
    Pop();
  }
}

}  // namespace tervane::html
