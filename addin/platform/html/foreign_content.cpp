// Tokens inside SVG and MathML: the rules for parsing tokens in foreign
// content, including the HTML tags that break out of it.
#include "addin/platform/html/foreign_names.h"
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

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
  const std::size_t target = open_.ForeignEndTagTarget(token.name);
  if (target == open_.size()) return Process(mode_, token);
  while (open_.size() > target) open_.Pop();
}

}  // namespace tervane::html
