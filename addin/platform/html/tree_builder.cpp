#include "addin/platform/html/tree_builder.h"

namespace tervane::html {

std::size_t LeadingWhitespace(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size()) {
    const char c = text[length];
    if (c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != ' ') break;
    ++length;
  }
  return length;
}

bool TreeBuilder::InsertLeadingWhitespace(Token& token) {
  const std::size_t length = LeadingWhitespace(token.data);
  InsertText(std::string_view(token.data).substr(0, length), token.offset);
  token.data.erase(0, length);
  token.offset += length;
  return token.data.empty();
}

bool TreeBuilder::LeadingWhitespaceInBody(Token& token) {
  const std::size_t length = LeadingWhitespace(token.data);
  if (length == token.data.size()) {
    InBody(token);
    return true;
  }
  if (length != 0) {
    Token space = token;
    space.data.resize(length);
    InBody(space);
    token.data.erase(0, length);
    token.offset += length;
  }
  return false;
}

TreeBuilder::TreeBuilder(std::string_view input, const ParseOptions& options, ParseResult& result)
    : tokenizer_(input), options_(options), result_(result), document_(result.document) {}

void TreeBuilder::Run() {
  Token token;
  while (!stopped_) {
    tokenizer_.SetCdataAllowed(!open_.empty() && open_.Current().node->ns != Namespace::kHtml);
    tokenizer_.Next(token);
    Dispatch(token);
    if (token.kind == TokenKind::kEndOfFile) break;
  }
}

void TreeBuilder::Dispatch(Token& token) {
  if (skipNewline_) {
    skipNewline_ = false;
    if (token.kind == TokenKind::kCharacters && !token.data.empty() && token.data[0] == '\n') {
      token.data.erase(0, 1);
      ++token.offset;
      if (token.data.empty()) return;
    }
  }
  tag_ = token.kind == TokenKind::kStartTag || token.kind == TokenKind::kEndTag
             ? LookupTag(token.name)
             : Tag::kOther;
  offset_ = token.offset;
  if (BelongsToForeignContent(token)) {
    ForeignContent(token);
  } else {
    Process(mode_, token);
  }
}

bool TreeBuilder::BelongsToForeignContent(const Token& token) const {
  if (open_.empty()) return false;
  const OpenElement& current = open_.Current();
  const Namespace ns = current.node->ns;
  if (ns == Namespace::kHtml || token.kind == TokenKind::kEndOfFile) return false;
  const bool start = token.kind == TokenKind::kStartTag;
  const bool characters = token.kind == TokenKind::kCharacters;
  if (IsMathMlTextIntegrationPoint(ns, current.tag)) {
    if (characters || (start && tag_ != Tag::kMglyph && tag_ != Tag::kMalignmark)) return false;
  }
  if (ns == Namespace::kMathMl && current.tag == Tag::kAnnotationXml && start &&
      tag_ == Tag::kSvg) {
    return false;
  }
  if ((start || characters) && IsHtmlIntegrationPoint(*current.node, current.tag)) return false;
  return true;
}

void TreeBuilder::Process(Mode mode, Token& token) {
  switch (mode) {
    case Mode::kInitial:
      return Initial(token);
    case Mode::kBeforeHtml:
      return BeforeHtml(token);
    case Mode::kBeforeHead:
      return BeforeHead(token);
    case Mode::kInHead:
      return InHead(token);
    case Mode::kInHeadNoscript:
      return InHeadNoscript(token);
    case Mode::kAfterHead:
      return AfterHead(token);
    case Mode::kInBody:
      return InBody(token);
    case Mode::kText:
      return Text(token);
    case Mode::kInTable:
      return InTable(token);
    case Mode::kInTableText:
      return InTableText(token);
    case Mode::kInCaption:
      return InCaption(token);
    case Mode::kInColumnGroup:
      return InColumnGroup(token);
    case Mode::kInTableBody:
      return InTableBody(token);
    case Mode::kInRow:
      return InRow(token);
    case Mode::kInCell:
      return InCell(token);
    case Mode::kInSelect:
      return InSelect(token);
    case Mode::kInSelectInTable:
      return InSelectInTable(token);
    case Mode::kInTemplate:
      return InTemplate(token);
    case Mode::kAfterBody:
      return AfterBody(token);
    case Mode::kInFrameset:
      return InFrameset(token);
    case Mode::kAfterFrameset:
      return AfterFrameset(token);
    case Mode::kAfterAfterBody:
      return AfterAfterBody(token);
    case Mode::kAfterAfterFrameset:
      return AfterAfterFrameset(token);
  }
}

void TreeBuilder::GenerateImpliedEndTags(Tag except) {
  while (!open_.empty()) {
    const OpenElement& current = open_.Current();
    if (current.node->ns != Namespace::kHtml || current.tag == except ||
        !HasImpliedEndTag(current.tag, false)) {
      return;
    }
    open_.Pop();
  }
}

void TreeBuilder::GenerateAllImpliedEndTagsThoroughly() {
  while (!open_.empty()) {
    const OpenElement& current = open_.Current();
    if (current.node->ns != Namespace::kHtml || !HasImpliedEndTag(current.tag, true)) return;
    open_.Pop();
  }
}

void TreeBuilder::ClosePElement() {
  GenerateImpliedEndTags(Tag::kP);
  open_.PopUntil(Tag::kP);
}

void TreeBuilder::ResetInsertionMode() {
  // The topmost element that decides the mode; every other element is
  // passed over. (Without fragment parsing, td, th and head are never the
  // last element of the stack.)
  const std::size_t index =
      open_.TopmostIndexOf({Tag::kSelect, Tag::kTd, Tag::kTh, Tag::kTr, Tag::kTbody, Tag::kThead,
                            Tag::kTfoot, Tag::kCaption, Tag::kColgroup, Tag::kTable, Tag::kTemplate,
                            Tag::kHead, Tag::kBody, Tag::kFrameset, Tag::kHtml});
  if (index == open_.size()) {
    mode_ = Mode::kInBody;
    return;
  }
  switch (open_[index].tag) {
    case Tag::kSelect: {
      const std::size_t none = open_.size();
      const std::size_t table = open_.TopmostIndexBelow(Tag::kTable, index);
      const std::size_t template_ = open_.TopmostIndexBelow(Tag::kTemplate, index);
      mode_ = table != none && (template_ == none || table > template_) ? Mode::kInSelectInTable
                                                                        : Mode::kInSelect;
      return;
    }
    case Tag::kTd:
    case Tag::kTh:
      mode_ = Mode::kInCell;
      return;
    case Tag::kTr:
      mode_ = Mode::kInRow;
      return;
    case Tag::kTbody:
    case Tag::kThead:
    case Tag::kTfoot:
      mode_ = Mode::kInTableBody;
      return;
    case Tag::kCaption:
      mode_ = Mode::kInCaption;
      return;
    case Tag::kColgroup:
      mode_ = Mode::kInColumnGroup;
      return;
    case Tag::kTable:
      mode_ = Mode::kInTable;
      return;
    case Tag::kTemplate:
      mode_ = templateModes_.empty() ? Mode::kInBody : templateModes_.back();
      return;
    case Tag::kHead:
      mode_ = Mode::kInHead;
      return;
    case Tag::kFrameset:
      mode_ = Mode::kInFrameset;
      return;
    case Tag::kHtml:
      mode_ = head_ == nullptr ? Mode::kBeforeHead : Mode::kAfterHead;
      return;
    default:
      mode_ = Mode::kInBody;
      return;
  }
}

void TreeBuilder::ParseGenericText(Token& token, TextState state) {
  InsertHtmlElement(token);
  tokenizer_.SwitchTo(state);
  originalMode_ = mode_;
  mode_ = Mode::kText;
}

void TreeBuilder::CloseCell() {
  GenerateImpliedEndTags();
  while (!open_.empty()) {
    const bool cell = open_.CurrentIs(Tag::kTd) || open_.CurrentIs(Tag::kTh);
    open_.Pop();
    if (cell) break;
  }
  formatting_.ClearToLastMarker();
  mode_ = Mode::kInRow;
}

void TreeBuilder::CloseTemplate() {
  if (!open_.Has(Tag::kTemplate)) return;
  GenerateAllImpliedEndTagsThoroughly();
  open_.PopUntil(Tag::kTemplate);
  formatting_.ClearToLastMarker();
  if (!templateModes_.empty()) templateModes_.pop_back();
  ResetInsertionMode();
}

void TreeBuilder::StopParsing() { stopped_ = true; }

void TreeBuilder::PushTemplateMode(Mode mode) { templateModes_.push_back(mode); }

}  // namespace tervane::html
