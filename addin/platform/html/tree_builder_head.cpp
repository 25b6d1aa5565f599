// The insertion modes before the body: initial, before html, before head,
// in head, in head noscript and after head; and the text mode.
#include "addin/platform/html/quirks.h"
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

// Drops the leading whitespace of a characters token; true when nothing is
// left.
bool SkipWhitespace(Token& token) {
  const std::size_t length = LeadingWhitespace(token.data);
  token.data.erase(0, length);
  token.offset += length;
  return token.data.empty();
}

bool IsCharacters(const Token& token) { return token.kind == TokenKind::kCharacters; }
bool IsStart(const Token& token) { return token.kind == TokenKind::kStartTag; }
bool IsEnd(const Token& token) { return token.kind == TokenKind::kEndTag; }

}  // namespace

void TreeBuilder::Initial(Token& token) {
  if (IsCharacters(token) && SkipWhitespace(token)) return;
  if (token.kind == TokenKind::kComment) return InsertComment(token, document_.root);
  if (token.kind == TokenKind::kDoctype) {
    Node* doctype = document_.NewNode(NodeKind::kDoctype);
    doctype->name = document_.arena.Copy(token.name);
    if (token.publicId) document_.doctypePublicId = document_.arena.Copy(*token.publicId);
    if (token.systemId) document_.doctypeSystemId = document_.arena.Copy(*token.systemId);
    doctype->offset = token.offset;
    AppendChild(document_.root, doctype);
    document_.quirksMode = DoctypeMeansQuirks(token);
    mode_ = Mode::kBeforeHtml;
    return;
  }
  document_.quirksMode = true;
  mode_ = Mode::kBeforeHtml;
  BeforeHtml(token);
}

void TreeBuilder::BeforeHtml(Token& token) {
  if (token.kind == TokenKind::kDoctype) return;
  if (token.kind == TokenKind::kComment) return InsertComment(token, document_.root);
  if (IsCharacters(token) && SkipWhitespace(token)) return;
  if (IsStart(token) && tag_ == Tag::kHtml) {
    Node* html = CreateElement(token, Namespace::kHtml);
    AppendChild(document_.root, html);
    open_.Push(html, Tag::kHtml);
    mode_ = Mode::kBeforeHead;
    return;
  }
  if (IsEnd(token) && tag_ != Tag::kHead && tag_ != Tag::kBody && tag_ != Tag::kHtml &&
      tag_ != Tag::kBr) {
    return;
  }
  Node* html = document_.NewNode(NodeKind::kElement);
  html->name = "html";
  html->offset = token.offset;
  AppendChild(document_.root, html);
  open_.Push(html, Tag::kHtml);
  mode_ = Mode::kBeforeHead;
  BeforeHead(token);
}

void TreeBuilder::BeforeHead(Token& token) {
  if (IsCharacters(token) && SkipWhitespace(token)) return;
  if (token.kind == TokenKind::kComment) return InsertComment(token);
  if (token.kind == TokenKind::kDoctype) return;
  if (IsStart(token) && tag_ == Tag::kHtml) return InBody(token);
  if (IsStart(token) && tag_ == Tag::kHead) {
    head_ = InsertHtmlElement(token);
    mode_ = Mode::kInHead;
    return;
  }
  if (IsEnd(token) && tag_ != Tag::kHead && tag_ != Tag::kBody && tag_ != Tag::kHtml &&
      tag_ != Tag::kBr) {
    return;
  }
  head_ = InsertSyntheticElement(Tag::kHead, "head", token.offset);
  mode_ = Mode::kInHead;
  InHead(token);
}

void TreeBuilder::InHead(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters: {
      if (InsertLeadingWhitespace(token)) return;
      break;
    }
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      switch (tag_) {
        case Tag::kHtml:
          return InBody(token);
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
          InsertHtmlElement(token);
          open_.Pop();
          return;
        case Tag::kTitle:
          return ParseGenericText(token, TextState::kRcdata);
        case Tag::kNoscript:
          if (!options_.scripting) {
            InsertHtmlElement(token);
            mode_ = Mode::kInHeadNoscript;
            return;
          }
          return ParseGenericText(token, TextState::kRawtext);
        case Tag::kNoframes:
        case Tag::kStyle:
          return ParseGenericText(token, TextState::kRawtext);
        case Tag::kScript:
          return ParseGenericText(token, TextState::kScriptData);
        case Tag::kTemplate:
          InsertHtmlElement(token);
          formatting_.PushMarker();
          framesetOk_ = false;
          mode_ = Mode::kInTemplate;
          PushTemplateMode(Mode::kInTemplate);
          return;
        case Tag::kHead:
          return;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (tag_) {
        case Tag::kHead:
          open_.Pop();
          mode_ = Mode::kAfterHead;
          return;
        case Tag::kBody:
        case Tag::kHtml:
        case Tag::kBr:
          break;
        case Tag::kTemplate:
          return CloseTemplate();
        default:
          return;
      }
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  open_.Pop();
  mode_ = Mode::kAfterHead;
  AfterHead(token);
}

void TreeBuilder::InHeadNoscript(Token& token) {
  switch (token.kind) {
    case TokenKind::kDoctype:
      return;
    case TokenKind::kComment:
      return InHead(token);
    case TokenKind::kCharacters: {
      if (InsertLeadingWhitespace(token)) return;
      break;
    }
    case TokenKind::kStartTag:
      switch (tag_) {
        case Tag::kHtml:
          return InBody(token);
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kStyle:
          return InHead(token);
        case Tag::kHead:
        case Tag::kNoscript:
          return;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      if (tag_ == Tag::kNoscript) {
        open_.Pop();
        mode_ = Mode::kInHead;
        return;
      }
      if (tag_ != Tag::kBr) return;
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  open_.Pop();
  mode_ = Mode::kInHead;
  InHead(token);
}

void TreeBuilder::AfterHead(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters: {
      if (InsertLeadingWhitespace(token)) return;
      break;
    }
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      switch (tag_) {
        case Tag::kHtml:
          return InBody(token);
        case Tag::kBody:
          InsertHtmlElement(token);
          framesetOk_ = false;
          mode_ = Mode::kInBody;
          return;
        case Tag::kFrameset:
          InsertHtmlElement(token);
          mode_ = Mode::kInFrameset;
          return;
        case Tag::kBase:
        case Tag::kBasefont:
        case Tag::kBgsound:
        case Tag::kLink:
        case Tag::kMeta:
        case Tag::kNoframes:
        case Tag::kScript:
        case Tag::kStyle:
        case Tag::kTemplate:
        case Tag::kTitle:
          if (head_ == nullptr) break;
          open_.Push(head_, Tag::kHead);
          InHead(token);
          open_.Remove(head_);
          return;
        case Tag::kHead:
          return;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (tag_) {
        case Tag::kTemplate:
          return InHead(token);
        case Tag::kBody:
        case Tag::kHtml:
        case Tag::kBr:
          break;
        default:
          return;
      }
      break;
    case TokenKind::kEndOfFile:
      break;
  }
  InsertSyntheticElement(Tag::kBody, "body", token.offset);
  mode_ = Mode::kInBody;
  InBody(token);
}

void TreeBuilder::Text(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters:
      return InsertText(token.data, token.offset);
    case TokenKind::kEndOfFile:
      open_.Pop();
      mode_ = originalMode_;
      return Process(mode_, token);
    case TokenKind::kEndTag:
      open_.Pop();
      mode_ = originalMode_;
      return;
    default:
      return;
  }
}

}  // namespace tervane::html
