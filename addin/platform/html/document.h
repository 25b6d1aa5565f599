// The tree the HTML parser builds: the document, its doctype, elements with
// their namespace and attributes, text and comments. Nodes live in the
// document's arena and point to each other; none outlives the document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "addin/platform/html/arena.h"

namespace tervane::html {

enum class Namespace : unsigned char { kHtml, kSvg, kMathMl };

enum class NodeKind : unsigned char { kDocument, kDoctype, kElement, kText, kComment };

struct ElementAttribute {
  std::string_view name;
  std::string_view value;
};

/// A node of the tree. Its strings and attributes live in the document's
/// arena, like the node itself.
struct Node {
  NodeKind kind = NodeKind::kElement;
  Namespace ns = Namespace::kHtml;
  /// Element: how many attributes start at `attributeData` (a tag of fewer
  /// than 8 GB cannot hold 2^32).
  std::uint32_t attributeCount = 0;
  /// Element: the local name (SVG names in their adjusted case, such as
  /// "foreignObject"); doctype: its name.
  std::string_view name;
  const ElementAttribute* attributeData = nullptr;
  /// Text and comment: the text. Doctype: unused.
  std::string_view data;
  Node* parent = nullptr;
  Node* firstChild = nullptr;
  Node* lastChild = nullptr;
  Node* previousSibling = nullptr;
  Node* nextSibling = nullptr;
  /// Byte offset of the token that made the node (the start tag of an
  /// element); for elements the parser made without a tag, the offset of
  /// the token that caused it.
  std::size_t offset = 0;

  /// Element: attributes as the tokenizer gave them, with the foreign
  /// attribute adjustments applied to SVG and MathML elements ("xlink href"
  /// keeps its prefix in the name, as "xlink:href").
  std::span<const ElementAttribute> Attributes() const { return {attributeData, attributeCount}; }
  void SetAttributes(std::span<const ElementAttribute> attributes) {
    attributeData = attributes.data();
    attributeCount = static_cast<std::uint32_t>(attributes.size());
  }

  /// The value of the attribute `name`, or nullopt.
  std::optional<std::string_view> FindAttribute(std::string_view attributeName) const;
};

struct Document {
  /// The document node: its children are the doctype, comments and the
  /// html element.
  Node* root = nullptr;
  bool quirksMode = false;
  /// The public and system identifiers of the doctype node (a document has
  /// at most one).
  std::optional<std::string_view> doctypePublicId;
  std::optional<std::string_view> doctypeSystemId;
  /// How many nodes the document holds, template contents included.
  std::size_t nodeCount = 0;
  Arena arena;
  /// For each HTML template element, the document fragment holding its
  /// contents (a node of kind kDocument); its children are not the
  /// template's children. Few elements have one, so it is kept off Node.
  std::unordered_map<const Node*, Node*> templateContents;

  Node* NewNode(NodeKind kind);
  /// The contents of `element` if it is a template, else nullptr.
  Node* TemplateContents(const Node* element) const;
};

struct ParseOptions {
  /// Parse as a browser with scripting enabled does (noscript is raw text).
  bool scripting = true;
};

struct ParseResult {
  Document document;
  /// Byte offset of the "<" of the last "</body>" end tag that the tree
  /// builder honoured (in the "in body" insertion mode, with a body element
  /// in scope); nullopt when there is none. End tags ignored by the tree
  /// builder (inside a table or a template, say) and text that only looks
  /// like one (in a comment, a script, an attribute) never count.
  std::optional<std::size_t> bodyEndTag;
  /// True when, as that end tag was honoured, the stack of open elements
  /// held only the html and body elements: markup placed just before it
  /// goes straight into the body, and everything before it parses as it did.
  bool bodyClosedClean = false;
};

/// Parses a whole document (UTF-8; see Tokenizer) as the WHATWG algorithm
/// does, without fragment parsing or scripts.
ParseResult Parse(std::string_view input, const ParseOptions& options = {});

}  // namespace tervane::html
