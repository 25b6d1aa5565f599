// What the editor stand-in reads from a page with the HTML parser: the
// members the link builder asks for, and where the body ends in the bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

struct PageComment {
  /// Offset in the given bytes of the "<" that opens the comment.
  std::size_t offset = 0;
  /// The comment's text, as UTF-8.
  std::string text;
  /// In a template's contents, which are no part of the document.
  bool inTemplate = false;
  /// Directly in a table, tbody, thead, tfoot or tr element, from which the
  /// parser moves text and most elements out, in front of the table.
  bool inTable = false;
};

struct PageOutline {
  /// The first title element's text, ASCII blanks collapsed and trimmed.
  std::string title;
  /// The href of every a and area element that has one, in document order,
  /// character references decoded, as UTF-8.
  std::vector<std::string> linkHrefs;
  /// Offset in the given bytes of the "<" of the end tag that closes the
  /// body, as the parser's tree builder sees it (with several, the last one
  /// it honoured); nullopt when the body is never closed by one.
  std::optional<std::size_t> bodyEndTag;
  /// True when, at that end tag, every element inside the body had been
  /// closed: markup placed just before it goes straight into the body, and
  /// what comes before it parses as it did.
  bool bodyClosedClean = false;
  /// Every comment of the document and of its templates' contents, in the
  /// order of the bytes.
  std::vector<PageComment> comments;
};

/// Parses `bytes` (a page without its byte-order mark) in `charset`, as
/// browsers do. Bytes that are not valid in `charset` read as U+FFFD.
PageOutline ReadPageOutline(Charset charset, std::string_view bytes);

}  // namespace tervane
