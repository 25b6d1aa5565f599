#include "addin/platform/filepage/page_outline.h"

#include <algorithm>
#include <vector>

#include "addin/platform/codec/lenient_decode.h"
#include "addin/platform/html/document.h"

namespace tervane {

namespace {

using html::Namespace;
using html::Node;
using html::NodeKind;

bool IsHtmlElement(const Node* node, std::string_view name) {
  return node->kind == NodeKind::kElement && node->ns == Namespace::kHtml && node->name == name;
}

bool IsAsciiBlank(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

// The text of the element's text children, blanks collapsed and trimmed, as
// document.title reads a title element.
std::string CollapsedText(const Node* element) {
  std::string text;
  bool blankPending = false;
  for (const Node* child = element->firstChild; child != nullptr; child = child->nextSibling) {
    if (child->kind != NodeKind::kText) continue;
    for (const char c : child->data) {
      if (IsAsciiBlank(c)) {
        blankPending = !text.empty();
        continue;
      }
      if (blankPending) text += ' ';
      blankPending = false;
      text += c;
    }
  }
  return text;
}

bool IsTableStructure(const Node* node) {
  for (const std::string_view name : {"table", "tbody", "thead", "tfoot", "tr"}) {
    if (IsHtmlElement(node, name)) return true;
  }
  return false;
}

// Walks the tree in document order without recursion: malformed pages nest
// deeply. Template contents are not part of the document: only their
// comments are read.
void Walk(const html::Document& document, PageOutline& outline) {
  bool titleFound = false;
  std::vector<std::pair<const Node*, bool>> pending{{document.root, false}};
  while (!pending.empty()) {
    const auto [node, inTemplate] = pending.back();
    pending.pop_back();
    if (!inTemplate && !titleFound && IsHtmlElement(node, "title")) {
      outline.title = CollapsedText(node);
      titleFound = true;
    } else if (!inTemplate && (IsHtmlElement(node, "a") || IsHtmlElement(node, "area"))) {
      if (const auto href = node->FindAttribute("href")) outline.linkHrefs.emplace_back(*href);
    }
    if (const Node* contents = document.TemplateContents(node)) {
      pending.emplace_back(contents, true);
    }
    for (const Node* child = node->lastChild; child != nullptr; child = child->previousSibling) {
      if (child->kind == NodeKind::kElement) pending.emplace_back(child, inTemplate);
      if (child->kind == NodeKind::kComment) {
        outline.comments.push_back(
            {child->offset, std::string(child->data), inTemplate, IsTableStructure(node)});
      }
    }
  }
}

}  // namespace

PageOutline ReadPageOutline(Charset charset, std::string_view bytes) {
  PageOutline outline;
  // Well-formed UTF-8 is parsed in place; anything else through a decoded
  // copy, whose offsets are then mapped back to the bytes.
  const bool inPlace = charset == Charset::kUtf8 && IsValidUtf8(bytes);
  std::string decoded = inPlace ? std::string() : DecodeLenient(charset, bytes);
  std::optional<std::size_t> bodyEnd;
  {
    const html::ParseResult parsed =
        html::Parse(inPlace ? bytes : std::string_view(decoded), html::ParseOptions{});
    Walk(parsed.document, outline);
    std::sort(outline.comments.begin(), outline.comments.end(),
              [](const PageComment& a, const PageComment& b) { return a.offset < b.offset; });
    bodyEnd = parsed.bodyEndTag;
    outline.bodyClosedClean = bodyEnd.has_value() && parsed.bodyClosedClean;
  }
  std::string().swap(decoded);
  if (bodyEnd) {
    outline.bodyEndTag = inPlace ? *bodyEnd : LenientSourceLength(charset, bytes, *bodyEnd);
  }
  if (!inPlace) {
    // Each comment's offset is found from the one before: the charsets read
    // here decode a suffix that starts between two characters as they decode
    // the whole.
    std::size_t decodedAt = 0;
    std::size_t sourceAt = 0;
    for (PageComment& comment : outline.comments) {
      sourceAt += LenientSourceLength(charset, bytes.substr(sourceAt), comment.offset - decodedAt);
      decodedAt = comment.offset;
      comment.offset = sourceAt;
    }
  }
  return outline;
}

}  // namespace tervane
