// The tree the HTML parser builds: the document, its doctype, elements with
// their namespace and attributes, text and comments. Nodes live in the
// document's arena and point to each other; none outlives the document.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/platform/html/token.h"

namespace tervane::html {

enum class Namespace : unsigned char { kHtml, kSvg, kMathMl };

enum class NodeKind : unsigned char { kDocument, kDoctype, kElement, kText, kComment };

struct Node {
  NodeKind kind = NodeKind::kElement;
  Namespace ns = Namespace::kHtml;
  /// Element: the local name (SVG names in their adjusted case, such as
  /// "foreignObject"); doctype: its name.
  std::string name;
  /// Element: attributes as the tokenizer gave them, with the foreign
  /// attribute adjustments applied to SVG and MathML elements ("xlink href"
  /// keeps its prefix in the name, as "xlink:href").
  std::vector<Attribute> attributes;
  /// Text and comment: the text. Doctype: unused.
  std::string data;
  /// Doctype: public and system identifiers.
  std::optional<std::string> publicId;
  std::optional<std::string> systemId;
  Node* parent = nullptr;
  std::vector<Node*> children;
  /// For an HTML template element, the document fragment holding its
  /// contents (a node of kind kDocument); its children are not the
  /// template's children.
  Node* templateContents = nullptr;
  /// Byte offset of the token that made the node (the start tag of an
  /// element); for elements the parser made without a tag, the offset of
  /// the token that caused it.
  std::size_t offset = 0;

  /// The value of the attribute `name`, or nullptr.
  const std::string* FindAttribute(std::string_view attributeName) const;
};

struct Document {
  Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  Document(Document&&) = default;
  Document& operator=(Document&&) = default;

  /// The document node: its children are the doctype, comments and the
  /// html element.
  Node* root = nullptr;
  bool quirksMode = false;
  std::deque<Node> arena;

  Node* NewNode(NodeKind kind);
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
