// The "in body" insertion mode.
#include "addin/platform/html/foreign_names.h"
#include "addin/platform/html/tree_builder.h"

namespace tervane::html {
namespace {

bool IsHiddenInput(const Token& token) {
  for (const Attribute& attribute : token.attributes) {
    if (attribute.name != "type") continue;
    if (attribute.value.size() != 6) return false;
    for (std::size_t i = 0; i < 6; ++i) {
      char c = attribute.value[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != "hidden"[i]) return false;
    }
    return true;
  }
  return false;
}

}  // namespace

void TreeBuilder::InBody(Token& token) {
  switch (token.kind) {
    case TokenKind::kCharacters:
      return InBodyText(token);
    case TokenKind::kComment:
      return InsertComment(token);
    case TokenKind::kDoctype:
      return;
    case TokenKind::kStartTag:
      return InBodyStartTag(token);
    case TokenKind::kEndTag:
      return InBodyEndTag(token);
    case TokenKind::kEndOfFile:
      return InBodyEndOfFile(token);
  }
}

void TreeBuilder::InBodyText(Token& token) {
  std::string& text = token.data;
  if (text.find('\0') != std::string::npos) std::erase(text, '\0');
  if (text.empty()) return;
  ReconstructFormatting();
  InsertText(text, token.offset);
  if (framesetOk_ && LeadingWhitespace(text) != text.size()) framesetOk_ = false;
}

void TreeBuilder::InBodyEndOfFile(Token& token) {
  if (!templateModes_.empty()) return InTemplate(token);
  StopParsing();
}

void TreeBuilder::InBodyStartTag(Token& token) {
  switch (tag_) {
    case Tag::kHtml:
      if (!open_.Has(Tag::kTemplate)) MergeAttributes(token, open_[0].node);
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
      return InHead(token);
    case Tag::kBody:
      if (open_.size() < 2 || !open_[1].Is(Tag::kBody) || open_.Has(Tag::kTemplate)) return;
      framesetOk_ = false;
      MergeAttributes(token, open_[1].node);
      return;
    case Tag::kFrameset:
      if (open_.size() < 2 || !open_[1].Is(Tag::kBody) || !framesetOk_) return;
      Detach(open_[1].node);
      while (open_.size() > 1) open_.Pop();
      InsertHtmlElement(token);
      mode_ = Mode::kInFrameset;
      return;
    case Tag::kAddress:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBlockquote:
    case Tag::kCenter:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kMain:
    case Tag::kMenu:
    case Tag::kNav:
    case Tag::kOl:
    case Tag::kP:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSummary:
    case Tag::kUl:
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertHtmlElement(token);
      return;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      if (open_.Current().node->ns == Namespace::kHtml && IsHeading(open_.Current().tag)) {
        open_.Pop();
      }
      InsertHtmlElement(token);
      return;
    case Tag::kPre:
    case Tag::kListing:
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertHtmlElement(token);
      skipNewline_ = true;
      framesetOk_ = false;
      return;
    case Tag::kForm: {
      const bool inTemplate = open_.Has(Tag::kTemplate);
      if (form_ != nullptr && !inTemplate) return;
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      Node* form = InsertHtmlElement(token);
      if (!inTemplate) form_ = form;
      return;
    }
    case Tag::kLi:
    case Tag::kDd:
    case Tag::kDt: {
      framesetOk_ = false;
      const std::size_t item = open_.ListItemToClose(tag_ != Tag::kLi);
      if (item != open_.size()) {
        const Tag closing = open_[item].tag;
        GenerateImpliedEndTags(closing);
        open_.PopUntil(closing);
      }
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertHtmlElement(token);
      return;
    }
    case Tag::kPlaintext:
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertHtmlElement(token);
      tokenizer_.SwitchTo(TextState::kPlaintext);
      return;
    case Tag::kButton:
      if (open_.HasInScope(Tag::kButton, Scope::kDefault)) {
        GenerateImpliedEndTags();
        open_.PopUntil(Tag::kButton);
      }
      ReconstructFormatting();
      InsertHtmlElement(token);
      framesetOk_ = false;
      return;
    case Tag::kA: {
      const std::size_t existing = formatting_.LastAfterMarker("a");
      if (existing != ActiveFormatting::kNone) {
        Node* a = formatting_[existing];
        if (!AdoptionAgency(token)) InBodyOtherEndTag(token);
        formatting_.Remove(a);
        open_.Remove(a);
      }
      ReconstructFormatting();
      formatting_.Push(InsertHtmlElement(token));
      return;
    }
    case Tag::kB:
    case Tag::kBig:
    case Tag::kCode:
    case Tag::kEm:
    case Tag::kFont:
    case Tag::kI:
    case Tag::kS:
    case Tag::kSmall:
    case Tag::kStrike:
    case Tag::kStrong:
    case Tag::kTt:
    case Tag::kU:
      ReconstructFormatting();
      formatting_.Push(InsertHtmlElement(token));
      return;
    case Tag::kNobr:
      ReconstructFormatting();
      if (open_.HasInScope(Tag::kNobr, Scope::kDefault)) {
        if (!AdoptionAgency(token)) InBodyOtherEndTag(token);
        ReconstructFormatting();
      }
      formatting_.Push(InsertHtmlElement(token));
      return;
    case Tag::kApplet:
    case Tag::kMarquee:
    case Tag::kObject:
      ReconstructFormatting();
      InsertHtmlElement(token);
      formatting_.PushMarker();
      framesetOk_ = false;
      return;
    case Tag::kTable:
      if (!document_.quirksMode && open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertHtmlElement(token);
      framesetOk_ = false;
      mode_ = Mode::kInTable;
      return;
    case Tag::kArea:
    case Tag::kBr:
    case Tag::kEmbed:
    case Tag::kImg:
    case Tag::kKeygen:
    case Tag::kWbr:
      ReconstructFormatting();
      InsertHtmlElement(token);
      open_.Pop();
      framesetOk_ = false;
      return;
    case Tag::kInput: {
      const bool hidden = IsHiddenInput(token);
      ReconstructFormatting();
      InsertHtmlElement(token);
      open_.Pop();
      if (!hidden) framesetOk_ = false;
      return;
    }
    case Tag::kParam:
    case Tag::kSource:
    case Tag::kTrack:
      InsertHtmlElement(token);
      open_.Pop();
      return;
    case Tag::kHr:
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      InsertHtmlElement(token);
      open_.Pop();
      framesetOk_ = false;
      return;
    case Tag::kImage:
      token.name = "img";
      tag_ = Tag::kImg;
      return InBodyStartTag(token);
    case Tag::kTextarea:
      InsertHtmlElement(token);
      skipNewline_ = true;
      tokenizer_.SwitchTo(TextState::kRcdata);
      originalMode_ = mode_;
      framesetOk_ = false;
      mode_ = Mode::kText;
      return;
    case Tag::kXmp:
      if (open_.HasInScope(Tag::kP, Scope::kButton)) ClosePElement();
      ReconstructFormatting();
      framesetOk_ = false;
      return ParseGenericText(token, TextState::kRawtext);
    case Tag::kIframe:
      framesetOk_ = false;
      return ParseGenericText(token, TextState::kRawtext);
    case Tag::kNoembed:
      return ParseGenericText(token, TextState::kRawtext);
    case Tag::kNoscript:
      if (options_.scripting) return ParseGenericText(token, TextState::kRawtext);
      break;
    case Tag::kSelect:
      ReconstructFormatting();
      InsertHtmlElement(token);
      framesetOk_ = false;
      mode_ = mode_ == Mode::kInTable || mode_ == Mode::kInCaption || mode_ == Mode::kInTableBody ||
                      mode_ == Mode::kInRow || mode_ == Mode::kInCell
                  ? Mode::kInSelectInTable
                  : Mode::kInSelect;
      return;
    case Tag::kOptgroup:
    case Tag::kOption:
      if (open_.CurrentIs(Tag::kOption)) open_.Pop();
      ReconstructFormatting();
      InsertHtmlElement(token);
      return;
    case Tag::kRb:
    case Tag::kRtc:
      if (open_.HasInScope(Tag::kRuby, Scope::kDefault)) GenerateImpliedEndTags();
      InsertHtmlElement(token);
      return;
    case Tag::kRp:
    case Tag::kRt:
      if (open_.HasInScope(Tag::kRuby, Scope::kDefault)) GenerateImpliedEndTags(Tag::kRtc);
      InsertHtmlElement(token);
      return;
    case Tag::kMath:
    case Tag::kSvg: {
      ReconstructFormatting();
      const Namespace ns = tag_ == Tag::kMath ? Namespace::kMathMl : Namespace::kSvg;
      if (ns == Namespace::kMathMl) {
        AdjustMathMlAttributes(token.attributes);
      } else {
        AdjustSvgAttributes(token.attributes);
      }
      InsertForeignElement(token, ns);
      if (token.selfClosing) open_.Pop();
      return;
    }
    case Tag::kCaption:
    case Tag::kCol:
    case Tag::kColgroup:
    case Tag::kFrame:
    case Tag::kHead:
    case Tag::kTbody:
    case Tag::kTd:
    case Tag::kTfoot:
    case Tag::kTh:
    case Tag::kThead:
    case Tag::kTr:
      return;
    default:
      break;
  }
  ReconstructFormatting();
  InsertHtmlElement(token);
}

void TreeBuilder::InBodyEndTag(Token& token) {
  switch (tag_) {
    case Tag::kTemplate:
      return InHead(token);
    case Tag::kBody:
      if (!open_.HasInScope(Tag::kBody, Scope::kDefault)) return;
      mode_ = Mode::kAfterBody;
      result_.bodyEndTag = token.offset;
      result_.bodyClosedClean =
          open_.size() == 2 && open_[0].Is(Tag::kHtml) && open_[1].Is(Tag::kBody);
      return;
    case Tag::kHtml:
      if (!open_.HasInScope(Tag::kBody, Scope::kDefault)) return;
      mode_ = Mode::kAfterBody;
      return AfterBody(token);
    case Tag::kAddress:
    case Tag::kArticle:
    case Tag::kAside:
    case Tag::kBlockquote:
    case Tag::kButton:
    case Tag::kCenter:
    case Tag::kDetails:
    case Tag::kDialog:
    case Tag::kDir:
    case Tag::kDiv:
    case Tag::kDl:
    case Tag::kFieldset:
    case Tag::kFigcaption:
    case Tag::kFigure:
    case Tag::kFooter:
    case Tag::kHeader:
    case Tag::kHgroup:
    case Tag::kListing:
    case Tag::kMain:
    case Tag::kMenu:
    case Tag::kNav:
    case Tag::kOl:
    case Tag::kPre:
    case Tag::kSearch:
    case Tag::kSection:
    case Tag::kSummary:
    case Tag::kUl:
      if (!open_.HasInScope(tag_, Scope::kDefault)) return;
      GenerateImpliedEndTags();
      open_.PopUntil(tag_);
      return;
    case Tag::kForm:
      if (!open_.Has(Tag::kTemplate)) {
        Node* form = form_;
        form_ = nullptr;
        if (form == nullptr || !open_.HasNodeInScope(form, Scope::kDefault)) return;
        GenerateImpliedEndTags();
        open_.Remove(form);
        return;
      }
      if (!open_.HasInScope(Tag::kForm, Scope::kDefault)) return;
      GenerateImpliedEndTags();
      open_.PopUntil(Tag::kForm);
      return;
    case Tag::kP:
      if (!open_.HasInScope(Tag::kP, Scope::kButton)) {
        InsertSyntheticElement(Tag::kP, "p", token.offset);
      }
      return ClosePElement();
    case Tag::kLi:
      if (!open_.HasInScope(Tag::kLi, Scope::kListItem)) return;
      GenerateImpliedEndTags(Tag::kLi);
      open_.PopUntil(Tag::kLi);
      return;
    case Tag::kDd:
    case Tag::kDt:
      if (!open_.HasInScope(tag_, Scope::kDefault)) return;
      GenerateImpliedEndTags(tag_);
      open_.PopUntil(tag_);
      return;
    case Tag::kH1:
    case Tag::kH2:
    case Tag::kH3:
    case Tag::kH4:
    case Tag::kH5:
    case Tag::kH6:
      if (!open_.HasHeadingInScope()) return;
      GenerateImpliedEndTags();
      open_.PopUntilHeading();
      return;
    case Tag::kA:
    case Tag::kB:
    case Tag::kBig:
    case Tag::kCode:
    case Tag::kEm:
    case Tag::kFont:
    case Tag::kI:
    case Tag::kNobr:
    case Tag::kS:
    case Tag::kSmall:
    case Tag::kStrike:
    case Tag::kStrong:
    case Tag::kTt:
    case Tag::kU:
      if (!AdoptionAgency(token)) InBodyOtherEndTag(token);
      return;
    case Tag::kApplet:
    case Tag::kMarquee:
    case Tag::kObject:
      if (!open_.HasInScope(tag_, Scope::kDefault)) return;
      GenerateImpliedEndTags();
      open_.PopUntil(tag_);
      formatting_.ClearToLastMarker();
      return;
    case Tag::kBr:
      token.kind = TokenKind::kStartTag;
      token.attributes.clear();
      token.selfClosing = false;
      return InBodyStartTag(token);
    default:
      return InBodyOtherEndTag(token);
  }
}

void TreeBuilder::InBodyOtherEndTag(Token& token) {
  const std::size_t target = open_.EndTagTarget(tag_, token.name);
  if (target == open_.size()) return;
  GenerateImpliedEndTags(tag_);
  while (open_.size() > target) open_.Pop();
}

}  // namespace tervane::html
