// The insertion modes after the body and of framesets: after body, in
// frameset, after frameset, after after body and after after frameset.
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

// Keeps only the whitespace of a characters token, which is all that
// framesets keep of text.
void KeepWhitespace(Token& token) {
  std::erase_if(token.data, [](char c) {
    return c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != ' ';
  });
}

}  // namespace

void TreeBuilder::AfterBody(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters: {
      if (LeadingWhitespaceInBody(token)) return;
      break;
    }
    case TokenKind::kComment:
      return InsertComment(token, open_[0].node);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      if (tag_ == Tag::kHtml) return InBody(token);
      break;
    case TokenKind::kEndTag:
      if (tag_ == Tag::kHtml) {
        mode_ = Mode::kAfterAfterBody;
        return;
      }
      break;
    case TokenKind::kEndOfFile:
      return StopParsing();
  }
  mode_ = Mode::kInBody;
  InBody(token);
}

void TreeBuilder::InFrameset(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters:
      KeepWhitespace(token);
      return InsertText(token.data, token.offset);
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      switch (tag_) {
        case Tag::kHtml:
          return InBody(token);
        case Tag::kFrameset:
          InsertHtmlElement(token);
          return;
        case Tag::kFrame:
          InsertHtmlElement(token);
          open_.Pop();
          return;
        case Tag::kNoframes:
          return InHead(token);
        default:
          return;
      }
    case TokenKind::kEndTag:
      if (tag_ != Tag::kFrameset || open_.size() <= 1) return;
      open_.Pop();
      if (!open_.CurrentIs(Tag::kFrameset)) mode_ = Mode::kAfterFrameset;
      return;
    case TokenKind::kEndOfFile:
      return StopParsing();
  }
}

void TreeBuilder::AfterFrameset(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters:
      KeepWhitespace(token);
      return InsertText(token.data, token.offset);
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      if (tag_ == Tag::kHtml) return InBody(token);
      if (tag_ == Tag::kNoframes) return InHead(token);
      return;
    case TokenKind::kEndTag:
      if (tag_ == Tag::kHtml) mode_ = Mode::kAfterAfterFrameset;
      return;
    case TokenKind::kEndOfFile:
      return StopParsing();
  }
}

void TreeBuilder::AfterAfterBody(Token& token) {
  switch (token.kind) {
    case TokenKind::kComment:
      return InsertComment(token, document_.root);
    case TokenKind::kDoctype:
      return InBody(token);
    case TokenKind::kCharacters: {
      if (LeadingWhitespaceInBody(token)) return;
      break;
    }
    case TokenKind::kStartTag:
      if (tag_ == Tag::kHtml) return InBody(token);
      break;
    case TokenKind::kEndTag:
      break;
    case TokenKind::kEndOfFile:
      return StopParsing();
  }
  mode_ = Mode::kInBody;
  InBody(token);
}

void TreeBuilder::AfterAfterFrameset(Token& token) {
  switch (token.kind) {
    case TokenKind::kComment:
      return InsertComment(token, document_.root);
    case TokenKind::kDoctype:
      return InBody(token);
    case TokenKind::kCharacters:
      KeepWhitespace(token);
      return InBody(token);
    case TokenKind::kStartTag:
      if (tag_ == Tag::kHtml) return InBody(token);
      if (tag_ == Tag::kNoframes) return InHead(token);
      return;
    case TokenKind::kEndTag:
      return;
    case TokenKind::kEndOfFile:
      return StopParsing();
  }
}

}  // namespace tervane::html
