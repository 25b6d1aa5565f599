// The stack of open elements of the tree builder, with the scope tests the
// insertion modes ask of it. Counts of the HTML elements on the stack by
// name let the common questions ("is there a p in button scope?") answer
// without walking a deep stack.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "addin/platform/html/document.h"
#include "addin/platform/html/tags.h"

namespace tervane::html {

struct OpenElement {
  Node* node;
  Tag tag;

  bool Is(Tag htmlTag) const { return tag == htmlTag && node->ns == Namespace::kHtml; }
};

enum class Scope : unsigned char { kDefault, kListItem, kButton, kTable, kSelect };

class OpenElements {
 public:
  bool empty() const { return stack_.empty(); }
  std::size_t size() const { return stack_.size(); }
  /// Index 0 is the html element; the last is the current node.
  const OpenElement& operator[](std::size_t index) const { return stack_[index]; }
  const OpenElement& Current() const { return stack_.back(); }
  /// Whether the current node is the HTML element `tag`.
  bool CurrentIs(Tag tag) const { return !stack_.empty() && stack_.back().Is(tag); }

  void Push(Node* node, Tag tag);
  void Pop();
  /// Removes `node` wherever it stands; nothing when it is not open.
  void Remove(const Node* node);
  /// Inserts `node` at `index`, moving the elements above it up.
  void InsertAt(std::size_t index, Node* node, Tag tag);
  /// Puts `node` in the place of the element at `index`.
  void ReplaceAt(std::size_t index, Node* node, Tag tag);

  /// Whether an HTML element `tag` is open; cheap.
  bool Has(Tag tag) const { return Count(tag) != 0; }
  /// Whether an HTML element named `name` may be open: false only when it
  /// surely is not. Cheap.
  bool MayHaveNamed(Tag tag, const std::string& name) const;
  /// Whether `node` is open; cheap for formatting elements, a walk otherwise.
  bool Contains(const Node* node) const;
  /// The index of `node`, or size() when it is not open.
  std::size_t IndexOf(const Node* node) const;
  /// The index of the topmost HTML element `tag`, or size() when none.
  std::size_t TopmostIndex(Tag tag) const;

  bool HasInScope(Tag tag, Scope scope) const;
  bool HasNodeInScope(const Node* node, Scope scope) const;
  /// Whether any heading h1 to h6 is in (default) scope.
  bool HasHeadingInScope() const;

  /// Pops elements until an HTML element `tag` has been popped.
  void PopUntil(Tag tag);
  /// Pops elements until `node` has been popped.
  void PopUntilNode(const Node* node);
  /// Pops elements until a heading has been popped.
  void PopUntilHeading();
  /// Pops until the current node is one of `tags` (HTML) or html; used to
  /// clear the stack back to a table, table body or row context.
  void PopUntilCurrentIsOneOf(std::initializer_list<Tag> tags);

 private:
  std::size_t Count(Tag tag) const { return counts_[static_cast<std::size_t>(tag)]; }
  void Track(const OpenElement& element, int delta);
  static bool IsScopeBoundary(const OpenElement& element, Scope scope);

  std::vector<OpenElement> stack_;
  std::array<std::size_t, static_cast<std::size_t>(Tag::kCount)> counts_{};
  std::unordered_map<std::string, std::size_t> otherCounts_;
  std::unordered_set<const Node*> openFormatting_;
};

}  // namespace tervane::html
