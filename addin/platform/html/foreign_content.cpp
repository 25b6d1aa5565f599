// Tokens inside SVG and MathML: the rules for parsing tokens in foreign
// content, including the HTML tags that break out of it.
#include "addin/platform/html/foreign_names.h"
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool IsBreakout(const Token& token, Tag tag) {
  if (tag != Tag::kFont) return IsForeignBreakout(tag);
  for (const Attribute& attribute : token.attributes) {
    if (attribute.name == "color" || attribute.name == "face" || attribute.name == "size") {
      return true;
    }
  }
  return false;
}

}  // namespace

void TreeBuilder::ForeignContent(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters: {
      bool nonSpace = false;
      std::string text;
      text.reserve(token.data.size());
      for (const char c : token.data) {
        if (c == '\0') {
          text.append("\xEF\xBF\xBD");
          continue;
        }
        if (c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != ' ') nonSpace = true;
        text.push_back(c);
      }
      InsertText(text, token.offset);
      if (nonSpace) framesetOk_ = false;
      return;
    }
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      return ForeignContentStartTag(token);
    case TokenKind::kEndTag:
      return ForeignContentEndTag(token);
    case TokenKind::kEndOfFile:
      return Process(mode_, token);
  }
}

void TreeBuilder::ForeignContentStartTag(Token& token) {
  if (IsBreakout(token, tag_)) {
    while (!open_.empty()) {
      const OpenElement& current = open_.Current();
      if (current.node->ns == Namespace::kHtml ||
          IsMathMlTextIntegrationPoint(current.node->ns, current.tag) ||
          IsHtmlIntegrationPoint(*current.node, current.tag)) {
        break;
      }
      open_.Pop();
    }
    return Process(mode_, token);
  }
  const Namespace ns = open_.Current().node->ns;
  if (ns == Namespace::kMathMl) {
    AdjustMathMlAttributes(token.attributes);
  } else {
    AdjustSvgTagName(token.name);
    AdjustSvgAttributes(token.attributes);
  }
  InsertForeignElement(token, ns);
  if (token.selfClosing) open_.Pop();
}

void TreeBuilder::ForeignContentEndTag(Token& token) {
  if (tag_ == Tag::kBr || tag_ == Tag::kP) {
    while (!open_.empty()) {
      const OpenElement& current = open_.Current();
      if (current.node->ns == Namespace::kHtml ||
          IsMathMlTextIntegrationPoint(current.node->ns, current.tag) ||
          IsHtmlIntegrationPoint(*current.node, current.tag)) {
        break;
      }
      open_.Pop();
    }
    return Process(mode_, token);
  }
  for (std::size_t i = open_.size(); i-- > 1;) {
    const Node* node = open_[i].node;
    if (node->ns == Namespace::kHtml) return Process(mode_, token);
    if (EqualsIgnoringAsciiCase(node->name, token.name)) {
      while (open_.size() > i) open_.Pop();
      return;
    }
  }
}

}  // namespace tervane::html
