#include "addin/platform/html/open_elements.h"

#include <algorithm>

namespace tervane::html {
namespace {

std::string Lowercase(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::ptrdiff_t Top(const std::vector<std::size_t>& positions) {
  return positions.empty() ? -1 : static_cast<std::ptrdiff_t>(positions.back());
}

bool IsDefaultBoundary(const OpenElement& element) {
  if (element.node->ns != Namespace::kHtml) return IsSpecial(element.node->ns, element.tag);
  switch (element.tag) {
    case Tag::kApplet:
    case Tag::kCaption:
    case Tag::kHtml:
    case Tag::kTable:
    case Tag::kTd:
    case Tag::kTh:
    case Tag::kMarquee:
    case Tag::kObject:
    case Tag::kTemplate:
      return true;
    default:
      return false;
  }
}

}  // namespace

void OpenElements::Record(std::size_t index) {
  const OpenElement& element = stack_[index];
  const Namespace ns = element.node->ns;
  if (ns == Namespace::kHtml) {
    if (element.tag == Tag::kOther) {
      byOtherName_[element.node->name].push_back(index);
    } else {
      byTag_[static_cast<std::size_t>(element.tag)].push_back(index);
      if (IsFormatting(element.tag)) openFormatting_.insert(element.node);
    }
    byKind_[kHtmlKind].push_back(index);
  } else {
    byForeignName_[Lowercase(element.node->name)].push_back(index);
  }
  if (IsSpecial(ns, element.tag)) {
    byKind_[kSpecialKind].push_back(index);
    if (!element.Is(Tag::kAddress) && !element.Is(Tag::kDiv) && !element.Is(Tag::kP)) {
      byKind_[kSpecialButAddressDivP].push_back(index);
    }
  }
  if (IsDefaultBoundary(element)) byKind_[kDefaultBoundary].push_back(index);
}

void OpenElements::Forget(std::size_t index) {
  const OpenElement& element = stack_[index];
  const auto forget = [index](Positions& positions) {
    if (!positions.empty() && positions.back() == index) positions.pop_back();
  };
  const auto forgetNamed = [index](auto& map, const auto& name) {
    const auto found = map.find(name);
    if (found == map.end()) return;
    if (!found->second.empty() && found->second.back() == index) found->second.pop_back();
    if (found->second.empty()) map.erase(found);
  };
  if (element.node->ns == Namespace::kHtml) {
    if (element.tag == Tag::kOther) {
      forgetNamed(byOtherName_, element.node->name);
    } else {
      forget(byTag_[static_cast<std::size_t>(element.tag)]);
      if (IsFormatting(element.tag)) openFormatting_.erase(element.node);
    }
  } else {
    forgetNamed(byForeignName_, Lowercase(element.node->name));
  }
  for (Positions& positions : byKind_) forget(positions);
}

void OpenElements::Push(Node* node, Tag tag) {
  stack_.push_back({node, tag});
  Record(stack_.size() - 1);
}

void OpenElements::Pop() {
  Forget(stack_.size() - 1);
  stack_.pop_back();
}

void OpenElements::Remove(const Node* node) {
  const std::size_t index = IndexOf(node);
  if (index == stack_.size()) return;
  for (std::size_t i = stack_.size(); i-- > index;) Forget(i);
  stack_.erase(stack_.begin() + static_cast<std::ptrdiff_t>(index));
  for (std::size_t i = index; i < stack_.size(); ++i) Record(i);
}

void OpenElements::InsertAt(std::size_t index, Node* node, Tag tag) {
  for (std::size_t i = stack_.size(); i-- > index;) Forget(i);
  stack_.insert(stack_.begin() + static_cast<std::ptrdiff_t>(index), {node, tag});
  for (std::size_t i = index; i < stack_.size(); ++i) Record(i);
}

void OpenElements::ReplaceAt(std::size_t index, Node* node, Tag tag) {
  for (std::size_t i = stack_.size(); i-- > index;) Forget(i);
  stack_[index] = {node, tag};
  for (std::size_t i = index; i < stack_.size(); ++i) Record(i);
}

const OpenElements::Positions* OpenElements::PositionsOf(const Node& node, Tag tag) const {
  if (node.ns != Namespace::kHtml) {
    const auto found = byForeignName_.find(Lowercase(node.name));
    return found == byForeignName_.end() ? nullptr : &found->second;
  }
  if (tag != Tag::kOther) return &byTag_[static_cast<std::size_t>(tag)];
  const auto found = byOtherName_.find(node.name);
  return found == byOtherName_.end() ? nullptr : &found->second;
}

bool OpenElements::Contains(const Node* node) const {
  if (node->ns == Namespace::kHtml && IsFormatting(LookupTag(node->name))) {
    return openFormatting_.count(node) != 0;
  }
  return IndexOf(node) != stack_.size();
}

std::size_t OpenElements::IndexOf(const Node* node) const {
  const Positions* positions = PositionsOf(*node, TagOfElement(*node));
  if (positions == nullptr) return stack_.size();
  for (auto at = positions->rbegin(); at != positions->rend(); ++at) {
    if (stack_[*at].node == node) return *at;
  }
  return stack_.size();
}

std::size_t OpenElements::TopmostIndex(Tag tag) const {
  const Positions& positions = byTag_[static_cast<std::size_t>(tag)];
  return positions.empty() ? stack_.size() : positions.back();
}

std::size_t OpenElements::TopmostIndexBelow(Tag tag, std::size_t index) const {
  const Positions& positions = byTag_[static_cast<std::size_t>(tag)];
  const auto above = std::lower_bound(positions.begin(), positions.end(), index);
  return above == positions.begin() ? stack_.size() : *std::prev(above);
}

std::size_t OpenElements::TopmostIndexOf(std::initializer_list<Tag> tags) const {
  std::ptrdiff_t topmost = -1;
  for (const Tag tag : tags)
    topmost = std::max(topmost, Top(byTag_[static_cast<std::size_t>(tag)]));
  return topmost < 0 ? stack_.size() : static_cast<std::size_t>(topmost);
}

std::size_t OpenElements::EndTagTarget(Tag tag, const std::string& name) const {
  std::ptrdiff_t target = -1;
  if (tag != Tag::kOther) {
    target = Top(byTag_[static_cast<std::size_t>(tag)]);
  } else if (const auto found = byOtherName_.find(name); found != byOtherName_.end()) {
    target = Top(found->second);
  }
  if (target < 0 || target < Top(byKind_[kSpecialKind])) return stack_.size();
  return static_cast<std::size_t>(target);
}

std::size_t OpenElements::ForeignEndTagTarget(const std::string& lowercaseName) const {
  const auto found = byForeignName_.find(lowercaseName);
  if (found == byForeignName_.end()) return stack_.size();
  const std::ptrdiff_t target = Top(found->second);
  if (target <= Top(byKind_[kHtmlKind])) return stack_.size();
  return static_cast<std::size_t>(target);
}

std::size_t OpenElements::ListItemToClose(bool definition) const {
  const std::size_t none = stack_.size();
  const std::size_t target =
      definition ? TopmostIndexOf({Tag::kDd, Tag::kDt}) : TopmostIndex(Tag::kLi);
  if (target == none ||
      static_cast<std::ptrdiff_t>(target) < Top(byKind_[kSpecialButAddressDivP])) {
    return none;
  }
  return target;
}

std::ptrdiff_t OpenElements::TopmostBoundary(Scope scope) const {
  const auto top = [this](Tag tag) { return Top(byTag_[static_cast<std::size_t>(tag)]); };
  switch (scope) {
    case Scope::kListItem:
      return std::max({Top(byKind_[kDefaultBoundary]), top(Tag::kOl), top(Tag::kUl)});
    case Scope::kButton:
      return std::max(Top(byKind_[kDefaultBoundary]), top(Tag::kButton));
    case Scope::kTable:
      return std::max({top(Tag::kHtml), top(Tag::kTable), top(Tag::kTemplate)});
    default:
      return Top(byKind_[kDefaultBoundary]);
  }
}

bool OpenElements::HasInScope(Tag tag, Scope scope) const {
  const std::ptrdiff_t target = Top(byTag_[static_cast<std::size_t>(tag)]);
  if (target < 0) return false;
  if (scope != Scope::kSelect) return target >= TopmostBoundary(scope);
  for (std::size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].Is(tag)) return true;
    if (!stack_[i].Is(Tag::kOptgroup) && !stack_[i].Is(Tag::kOption)) return false;
  }
  return false;
}

bool OpenElements::HasNodeInScope(const Node* node, Scope scope) const {
  const std::size_t index = IndexOf(node);
  return index != stack_.size() && static_cast<std::ptrdiff_t>(index) >= TopmostBoundary(scope);
}

bool OpenElements::HasHeadingInScope() const {
  const std::size_t heading =
      TopmostIndexOf({Tag::kH1, Tag::kH2, Tag::kH3, Tag::kH4, Tag::kH5, Tag::kH6});
  return heading != stack_.size() &&
         static_cast<std::ptrdiff_t>(heading) >= TopmostBoundary(Scope::kDefault);
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
