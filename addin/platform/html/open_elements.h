// The stack of open elements of the tree builder, with the scope tests the
// insertion modes ask of it. The positions of the elements are also kept by
// name and by kind (special, scope boundary, HTML), so that every question
// the tree builder asks ("is there a p in button scope?", "which element
// does this end tag close?") answers without walking a stack that may be
// thousands of elements deep.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
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

  /// Whether an HTML element `tag` is open.
  bool Has(Tag tag) const { return !byTag_[static_cast<std::size_t>(tag)].empty(); }
  /// Whether `node` is open.
  bool Contains(const Node* node) const;
  /// The index of `node`, or size() when it is not open.
  std::size_t IndexOf(const Node* node) const;
  /// The index of the topmost HTML element `tag`, or size() when none.
  std::size_t TopmostIndex(Tag tag) const;
  /// The index of the topmost HTML element `tag` below `index`, or size().
  std::size_t TopmostIndexBelow(Tag tag, std::size_t index) const;
  /// The index of the topmost HTML element among `tags`, or size().
  std::size_t TopmostIndexOf(std::initializer_list<Tag> tags) const;

  /// The HTML element named `name` that "any other end tag" in body closes:
  /// the topmost one with no special element above it; size() when none.
  std::size_t EndTagTarget(Tag tag, const std::string& name) const;
  /// The foreign element an end tag in foreign content closes: the topmost
  /// one whose lowercased name is `lowercaseName`, above every HTML element;
  /// size() when none.
  std::size_t ForeignEndTagTarget(const std::string& lowercaseName) const;
  /// The li (or, when `definition`, dd or dt) that a new li (dd, dt) closes:
  /// the topmost one with no special element other than address, div and p
  /// above it; size() when none.
  std::size_t ListItemToClose(bool definition) const;

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
  enum Kind : std::size_t {
    kSpecialKind,
    kSpecialButAddressDivP,
    kHtmlKind,
    kDefaultBoundary,
    kKindCount,
  };
  using Positions = std::vector<std::size_t>;

  /// Records the element at `index`, which must be the highest recorded.
  void Record(std::size_t index);
  /// Forgets the element at `index`, which must be the highest recorded.
  void Forget(std::size_t index);
  const Positions* PositionsOf(const Node& node, Tag tag) const;
  /// The topmost scope boundary of `scope` (not kSelect), or -1.
  std::ptrdiff_t TopmostBoundary(Scope scope) const;

  std::vector<OpenElement> stack_;
  std::array<Positions, static_cast<std::size_t>(Tag::kCount)> byTag_;
  /// Keyed by the names in the document's arena, which outlive the stack.
  std::unordered_map<std::string_view, Positions> byOtherName_;
  std::unordered_map<std::string, Positions> byForeignName_;
  std::array<Positions, kKindCount> byKind_;
  std::unordered_set<const Node*> openFormatting_;
};

}  // namespace tervane::html
