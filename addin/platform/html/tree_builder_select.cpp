// The insertion modes in select, in select in table and in template.
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

bool IsTableTag(Tag tag) {
  switch (tag) {
    case Tag::kCaption:
    case Tag::kTable:
    case Tag::kTbody:
    case Tag::kTfoot:
    case Tag::kThead:
    case Tag::kTr:
    case Tag::kTd:
    case Tag::kTh:
      return true;
    default:
      return false;
  }
}

}  // namespace

void TreeBuilder::InSelect(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters:
      if (token.data.find('\0') != std::string::npos) std::erase(token.data, '\0');
      return InsertText(token.data, token.offset);
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kEndOfFile:
      return InBody(token);
    case TokenKind::kStartTag:
      switch (tag_) {
        case Tag::kHtml:
          return InBody(token);
        case Tag::kOption:
          if (open_.CurrentIs(Tag::kOption)) open_.Pop();
          InsertHtmlElement(token);
          return;
        case Tag::kOptgroup:
        case Tag::kHr:
          if (open_.CurrentIs(Tag::kOption)) open_.Pop();
          if (open_.CurrentIs(Tag::kOptgroup)) open_.Pop();
          InsertHtmlElement(token);
          if (tag_ == Tag::kHr) open_.Pop();
          return;
        case Tag::kSelect:
          if (!open_.HasInScope(Tag::kSelect, Scope::kSelect)) return;
          open_.PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return;
        case Tag::kInput:
        case Tag::kKeygen:
        case Tag::kTextarea:
          if (!open_.HasInScope(Tag::kSelect, Scope::kSelect)) return;
          open_.PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return Process(mode_, token);
        case Tag::kScript:
        case Tag::kTemplate:
          return InHead(token);
        default:
          return;
      }
    case TokenKind::kEndTag:
      switch (tag_) {
        case Tag::kOptgroup:
          if (open_.CurrentIs(Tag::kOption) && open_.size() >= 2 &&
              open_[open_.size() - 2].Is(Tag::kOptgroup)) {
            open_.Pop();
          }
          if (open_.CurrentIs(Tag::kOptgroup)) open_.Pop();
          return;
        case Tag::kOption:
          if (open_.CurrentIs(Tag::kOption)) open_.Pop();
          return;
        case Tag::kSelect:
          if (!open_.HasInScope(Tag::kSelect, Scope::kSelect)) return;
          open_.PopUntil(Tag::kSelect);
          ResetInsertionMode();
          return;
        case Tag::kTemplate:
          return InHead(token);
        default:
          return;
      }
  }
}

void TreeBuilder::InSelectInTable(Token& token) {
  if (token.kind == TokenKind::kStartTag && IsTableTag(tag_)) {
    open_.PopUntil(Tag::kSelect);
    ResetInsertionMode();
    return Process(mode_, token);
  }
  if (token.kind == TokenKind::kEndTag && IsTableTag(tag_)) {
    if (!open_.HasInScope(tag_, Scope::kTable)) return;
    open_.PopUntil(Tag::kSelect);
    ResetInsertionMode();
    return Process(mode_, token);
  }
  InSelect(token);
}

void TreeBuilder::InTemplate(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters:
    case TokenKind::kComment:
    case TokenKind::kDoctype:
      return InBody(token);
    case TokenKind::kStartTag: {
      Mode next = Mode::kInBody;
      switch (tag_) {
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
          return InHead(token);
        case Tag::kCaption:
        case Tag::kColgroup:
        case Tag::kTbody:
        case Tag::kTfoot:
        case Tag::kThead:
          next = Mode::kInTable;
          break;
        case Tag::kCol:
          next = Mode::kInColumnGroup;
          break;
        case Tag::kTr:
          next = Mode::kInTableBody;
          break;
        case Tag::kTd:
        case Tag::kTh:
          next = Mode::kInRow;
          break;
        default:
          break;
      }
      if (!templateModes_.empty()) templateModes_.pop_back();
      PushTemplateMode(next);
      mode_ = next;
      return Process(mode_, token);
    }
    case TokenKind::kEndTag:
      if (tag_ == Tag::kTemplate) return InHead(token);
      return;
    case TokenKind::kEndOfFile:
      if (!open_.Has(Tag::kTemplate)) return StopParsing();
      // Closing one template at a time would bring the end of file back
      // here once per template, through modes that only pass it on: close
      // them all at once instead, however deep they nest.
      while (open_.Has(Tag::kTemplate)) {
        open_.PopUntil(Tag::kTemplate);
        formatting_.ClearToLastMarker();
        if (!templateModes_.empty()) templateModes_.pop_back();
      }
      ResetInsertionMode();
      return Process(mode_, token);
  }
}

}  // namespace tervane::html
