// The table insertion modes: in table, in table text, in caption, in column
// group, in table body, in row and in cell.
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

bool IsHiddenType(const Token& token) {
  for (const Attribute& attribute : token.attributes) {
    if (attribute.name != "type") continue;
    std::string lower = attribute.value;
    for (char& c : lower) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower == "hidden";
  }
  return false;
}

bool OneOf(Tag tag, std::initializer_list<Tag> tags) {
  for (const Tag candidate : tags) {
    if (tag == candidate) return true;
  }
  return false;
}

}  // namespace

void TreeBuilder::InTable(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters: {
      const OpenElement& current = open_.Current();
      if (current.node->ns == Namespace::kHtml &&
          OneOf(current.tag,
                {Tag::kTable, Tag::kTbody, Tag::kTemplate, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
        pendingTableText_.clear();
        pendingTableTextIsSpace_ = true;
        pendingTableTextOffset_ = token.offset;
        originalMode_ = mode_;
        mode_ = Mode::kInTableText;
        return InTableText(token);
      }
      break;
    }
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      switch (tag_) {
        case Tag::kCaption:
          open_.PopUntilCurrentIsOneOf({Tag::kTable, Tag::kTemplate});
          formatting_.PushMarker();
          InsertHtmlElement(token);
          mode_ = Mode::kInCaption;
          return;
        case Tag::kColgroup:
          open_.PopUntilCurrentIsOneOf({Tag::kTable, Tag::kTemplate});
          InsertHtmlElement(token);
          mode_ = Mode::kInColumnGroup;
          return;
        case Tag::kCol:
          open_.PopUntilCurrentIsOneOf({Tag::kTable, Tag::kTemplate});
          InsertSyntheticElement(Tag::kColgroup, "colgroup", token.offset);
          mode_ = Mode::kInColumnGroup;
          return InColumnGroup(token);
        case Tag::kTbody:
        case Tag::kTfoot:
        case Tag::kThead:
          open_.PopUntilCurrentIsOneOf({Tag::kTable, Tag::kTemplate});
          InsertHtmlElement(token);
          mode_ = Mode::kInTableBody;
          return;
        case Tag::kTd:
        case Tag::kTh:
        case Tag::kTr:
          open_.PopUntilCurrentIsOneOf({Tag::kTable, Tag::kTemplate});
          InsertSyntheticElement(Tag::kTbody, "tbody", token.offset);
          mode_ = Mode::kInTableBody;
          return InTableBody(token);
        case Tag::kTable:
          if (!open_.HasInScope(Tag::kTable, Scope::kTable)) return;
          open_.PopUntil(Tag::kTable);
          ResetInsertionMode();
          return Process(mode_, token);
        case Tag::kStyle:
        case Tag::kScript:
        case Tag::kTemplate:
          return InHead(token);
        case Tag::kInput:
          if (!IsHiddenType(token)) break;
          InsertHtmlElement(token);
          open_.Pop();
          return;
        case Tag::kForm:
          if (open_.Has(Tag::kTemplate) || form_ != nullptr) return;
          form_ = InsertHtmlElement(token);
          open_.Pop();
          return;
        default:
          break;
      }
      break;
    case TokenKind::kEndTag:
      switch (tag_) {
        case Tag::kTable:
          if (!open_.HasInScope(Tag::kTable, Scope::kTable)) return;
          open_.PopUntil(Tag::kTable);
          ResetInsertionMode();
          return;
        case Tag::kBody:
        case Tag::kCaption:
        case Tag::kCol:
        case Tag::kColgroup:
        case Tag::kHtml:
        case Tag::kTbody:
        case Tag::kTd:
        case Tag::kTfoot:
        case Tag::kTh:
        case Tag::kThead:
        case Tag::kTr:
          return;
        case Tag::kTemplate:
          return InHead(token);
        default:
          break;
      }
      break;
    case TokenKind::kEndOfFile:
      return InBody(token);
  }
  fosterParenting_ = true;
  InBody(token);
  fosterParenting_ = false;
}

void TreeBuilder::InTableText(Token& token) {
  if (token.kind == TokenKind::kCharacters) {
    for (const char c : token.data) {
      if (c == '\0') continue;
      pendingTableText_.push_back(c);
      if (c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != ' ') {
        pendingTableTextIsSpace_ = false;
      }
    }
    return;
  }
  if (pendingTableTextIsSpace_) {
    InsertText(pendingTableText_, pendingTableTextOffset_);
  } else {
    Token text;
    text.kind = TokenKind::kCharacters;
    text.offset = pendingTableTextOffset_;
    text.data = std::move(pendingTableText_);
    fosterParenting_ = true;
    InBodyText(text);
    fosterParenting_ = false;
  }
  pendingTableText_.clear();
  mode_ = originalMode_;
  Process(mode_, token);
}

void TreeBuilder::InCaption(Token& token) {
  const bool start = token.kind == TokenKind::kStartTag;
  const bool end = token.kind == TokenKind::kEndTag;
  const bool closesCaption =
      (end && (tag_ == Tag::kCaption || tag_ == Tag::kTable)) ||
      (start && OneOf(tag_, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTd,
                             Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr}));
  if (closesCaption) {
    if (!open_.HasInScope(Tag::kCaption, Scope::kTable)) return;
    GenerateImpliedEndTags();
    open_.PopUntil(Tag::kCaption);
    formatting_.ClearToLastMarker();
    mode_ = Mode::kInTable;
    if (end && tag_ == Tag::kCaption) return;
    return InTable(token);
  }
  if (end && OneOf(tag_, {Tag::kBody, Tag::kCol, Tag::kColgroup, Tag::kHtml, Tag::kTbody, Tag::kTd,
                          Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr})) {
    return;
  }
  InBody(token);
}

void TreeBuilder::InColumnGroup(Token& token) {
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
      if (tag_ == Tag::kHtml) return InBody(token);
      if (tag_ == Tag::kCol) {
        InsertHtmlElement(token);
        open_.Pop();
        return;
      }
      if (tag_ == Tag::kTemplate) return InHead(token);
      break;
    case TokenKind::kEndTag:
      if (tag_ == Tag::kColgroup) {
        if (!open_.CurrentIs(Tag::kColgroup)) return;
        open_.Pop();
        mode_ = Mode::kInTable;
        return;
      }
      if (tag_ == Tag::kCol) return;
      if (tag_ == Tag::kTemplate) return InHead(token);
      break;
    case TokenKind::kEndOfFile:
      return InBody(token);
  }
  if (!open_.CurrentIs(Tag::kColgroup)) return;
  open_.Pop();
  mode_ = Mode::kInTable;
  InTable(token);
}

void TreeBuilder::InTableBody(Token& token) {
  const bool start = token.kind == TokenKind::kStartTag;
  const bool end = token.kind == TokenKind::kEndTag;
  if (start && tag_ == Tag::kTr) {
    open_.PopUntilCurrentIsOneOf({Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTemplate});
    InsertHtmlElement(token);
    mode_ = Mode::kInRow;
    return;
  }
  if (start && (tag_ == Tag::kTh || tag_ == Tag::kTd)) {
    open_.PopUntilCurrentIsOneOf({Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTemplate});
    InsertSyntheticElement(Tag::kTr, "tr", token.offset);
    mode_ = Mode::kInRow;
    return InRow(token);
  }
  if (end && OneOf(tag_, {Tag::kTbody, Tag::kTfoot, Tag::kThead})) {
    if (!open_.HasInScope(tag_, Scope::kTable)) return;
    open_.PopUntilCurrentIsOneOf({Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTemplate});
    open_.Pop();
    mode_ = Mode::kInTable;
    return;
  }
  if ((start && OneOf(tag_, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTfoot,
                             Tag::kThead})) ||
      (end && tag_ == Tag::kTable)) {
    if (!open_.HasInScope(Tag::kTbody, Scope::kTable) &&
        !open_.HasInScope(Tag::kThead, Scope::kTable) &&
        !open_.HasInScope(Tag::kTfoot, Scope::kTable)) {
      return;
    }
    open_.PopUntilCurrentIsOneOf({Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTemplate});
    open_.Pop();
    mode_ = Mode::kInTable;
    return InTable(token);
  }
  if (end && OneOf(tag_, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml,
                          Tag::kTd, Tag::kTh, Tag::kTr})) {
    return;
  }
  InTable(token);
}

void TreeBuilder::InRow(Token& token) {
  const bool start = token.kind == TokenKind::kStartTag;
  const bool end = token.kind == TokenKind::kEndTag;
  if (start && (tag_ == Tag::kTh || tag_ == Tag::kTd)) {
    open_.PopUntilCurrentIsOneOf({Tag::kTr, Tag::kTemplate});
    InsertHtmlElement(token);
    mode_ = Mode::kInCell;
    formatting_.PushMarker();
    return;
  }
  const bool closesRow = (end && (tag_ == Tag::kTr || tag_ == Tag::kTable)) ||
                         (start && OneOf(tag_, {Tag::kCaption, Tag::kCol, Tag::kColgroup,
                                                Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTr}));
  const bool closesSection = end && OneOf(tag_, {Tag::kTbody, Tag::kTfoot, Tag::kThead});
  if (closesRow || closesSection) {
    if (closesSection && !open_.HasInScope(tag_, Scope::kTable)) return;
    if (!open_.HasInScope(Tag::kTr, Scope::kTable)) return;
    open_.PopUntilCurrentIsOneOf({Tag::kTr, Tag::kTemplate});
    open_.Pop();
    mode_ = Mode::kInTableBody;
    if (end && tag_ == Tag::kTr) return;
    return InTableBody(token);
  }
  if (end && OneOf(tag_, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml,
                          Tag::kTd, Tag::kTh})) {
    return;
  }
  InTable(token);
}

void TreeBuilder::InCell(Token& token) {
  const bool start = token.kind == TokenKind::kStartTag;
  const bool end = token.kind == TokenKind::kEndTag;
  if (end && (tag_ == Tag::kTd || tag_ == Tag::kTh)) {
    if (!open_.HasInScope(tag_, Scope::kTable)) return;
    GenerateImpliedEndTags();
    open_.PopUntil(tag_);
    formatting_.ClearToLastMarker();
    mode_ = Mode::kInRow;
    return;
  }
  if (start && OneOf(tag_, {Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kTbody, Tag::kTd,
                            Tag::kTfoot, Tag::kTh, Tag::kThead, Tag::kTr})) {
    if (!open_.HasInScope(Tag::kTd, Scope::kTable) && !open_.HasInScope(Tag::kTh, Scope::kTable)) {
      return;
    }
    CloseCell();
    return InRow(token);
  }
  if (end && OneOf(tag_, {Tag::kBody, Tag::kCaption, Tag::kCol, Tag::kColgroup, Tag::kHtml})) {
    return;
  }
  if (end && OneOf(tag_, {Tag::kTable, Tag::kTbody, Tag::kTfoot, Tag::kThead, Tag::kTr})) {
    if (!open_.HasInScope(tag_, Scope::kTable)) return;
    CloseCell();
    return InRow(token);
  }
  InBody(token);
}

}  // namespace tervane::html
