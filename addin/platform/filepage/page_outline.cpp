#include "addin/platform/filepage/page_outline.h"

#include <gumbo.h>

#include <limits>
#include <vector>

#include "addin/platform/codec/lenient_decode.h"
#include "addin/platform/error.h"

namespace tervane {

namespace {

// A parse tree, owned. The parser needs UTF-8 and keeps pointers into the
// text, which must outlive the tree.
class ParsedHtml {
 public:
  explicit ParsedHtml(std::string_view utf8) {
    if (utf8.size() > std::numeric_limits<unsigned int>::max()) {
      throw Error(kErrInvalidCall, "the page is too large to be parsed");
    }
    options_.max_errors = 0;  // the parse errors are of no use here
    output_ = gumbo_parse_with_options(&options_, utf8.data(), utf8.size());
  }
  ~ParsedHtml() { gumbo_destroy_output(&options_, output_); }
  ParsedHtml(const ParsedHtml&) = delete;
  ParsedHtml& operator=(const ParsedHtml&) = delete;

  const GumboNode* Root() const { return output_->root; }

 private:
  GumboOptions options_ = kGumboDefaultOptions;
  GumboOutput* output_ = nullptr;
};

bool IsHtmlElement(const GumboNode* node, GumboTag tag) {
  return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag &&
         node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

bool IsAsciiBlank(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

std::string CollapsedText(const GumboNode* element) {
  std::string text;
  bool blankPending = false;
  const GumboVector& children = element->v.element.children;
  for (unsigned int i = 0; i < children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (child->type != GUMBO_NODE_TEXT && child->type != GUMBO_NODE_WHITESPACE) continue;
    for (const char* c = child->v.text.text; *c != '\0'; ++c) {
      if (IsAsciiBlank(*c)) {
        blankPending = !text.empty();
        continue;
      }
      if (blankPending) text += ' ';
      blankPending = false;
      text += *c;
    }
  }
  return text;
}

// Walks the tree in document order without recursion: malformed pages nest
// deeply. Template contents are not part of the document and are skipped.
void Walk(const GumboNode* root, PageOutline& outline, std::optional<std::size_t>& bodyEnd,
          const GumboNode*& body) {
  bool titleFound = false;
  std::vector<const GumboNode*> pending{root};
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    if (node->type != GUMBO_NODE_ELEMENT) continue;
    const GumboElement& element = node->v.element;
    if (!titleFound && IsHtmlElement(node, GUMBO_TAG_TITLE)) {
      outline.title = CollapsedText(node);
      titleFound = true;
    } else if (IsHtmlElement(node, GUMBO_TAG_A) || IsHtmlElement(node, GUMBO_TAG_AREA)) {
      if (const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href")) {
        outline.linkHrefs.emplace_back(href->value);
      }
    } else if (IsHtmlElement(node, GUMBO_TAG_BODY) && element.original_end_tag.length > 0) {
      // The parser keeps the position of the last end tag that closed the
      // body; tags it ignored (inside tables, templates, comments, scripts
      // or attribute values) never count.
      bodyEnd = element.end_pos.offset;
      body = node;
    }
    for (unsigned int i = element.children.length; i > 0; --i) {
      pending.push_back(static_cast<const GumboNode*>(element.children.data[i - 1]));
    }
  }
}

// Whether every element inside `body` that starts before `offset` also ends
// before it. The parser gives each element the position of the token that
// closed it, explicitly or not, so one still open there ends at or after it.
bool AllClosedBefore(const GumboNode* body, std::size_t offset) {
  std::vector<const GumboNode*> pending{body};
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    const GumboElement& element = node->v.element;
    if (node != body && (element.start_pos.offset >= offset || element.end_pos.offset >= offset)) {
      if (element.start_pos.offset < offset) return false;
      continue;
    }
    for (unsigned int i = 0; i < element.children.length; ++i) {
      const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
      if (child->type == GUMBO_NODE_ELEMENT || child->type == GUMBO_NODE_TEMPLATE) {
        pending.push_back(child);
      }
    }
  }
  return true;
}

}  // namespace

PageOutline ReadPageOutline(Charset charset, std::string_view bytes) {
  PageOutline outline;
  std::optional<std::size_t> bodyEnd;
  const GumboNode* body = nullptr;
  // Well-formed UTF-8 is parsed in place; anything else through a decoded
  // copy, whose offsets are then mapped back to the bytes.
  const bool inPlace = charset == Charset::kUtf8 && IsValidUtf8(bytes);
  std::string decoded = inPlace ? std::string() : DecodeLenient(charset, bytes);
  {
    const ParsedHtml parsed(inPlace ? bytes : std::string_view(decoded));
    Walk(parsed.Root(), outline, bodyEnd, body);
    outline.bodyClosedClean = body != nullptr && AllClosedBefore(body, *bodyEnd);
  }
  std::string().swap(decoded);
  if (bodyEnd) {
    outline.bodyEndTag = inPlace ? *bodyEnd : LenientSourceLength(charset, bytes, *bodyEnd);
  }
  return outline;
}

}  // namespace tervane
