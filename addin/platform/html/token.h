// The tokens the HTML tokenizer hands to the tree builder. A token's offset
// points into the bytes that were parsed, so that what the tree builder
// decides (where the body's end tag is, say) can be found again in the page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tervane::html {

enum class TokenKind : unsigned char {
  kDoctype,
  kStartTag,
  kEndTag,
  kComment,
  kCharacters,
  kEndOfFile,
};

struct Attribute {
  /// ASCII-lowercased, as the tokenizer read it (no namespace adjustment).
  std::string name;
  /// Character references decoded, line breaks normalised, UTF-8.
  std::string value;
};

struct Token {
  TokenKind kind = TokenKind::kEndOfFile;
  /// Byte offset in the input of the token's first byte: the "<" of a tag,
  /// comment or doctype (also of a bogus comment), the first character of a
  /// run of characters ("<" of "<![CDATA[" for a CDATA section's text), the
  /// input's length for the end of file.
  std::size_t offset = 0;
  /// Tag name, ASCII-lowercased, for start and end tags; the doctype's name,
  /// ASCII-lowercased, for a doctype (empty when it has none: see hasName).
  std::string name;
  /// Start tags: in source order; a later attribute with the name of an
  /// earlier one is dropped. End tags: always empty.
  std::vector<Attribute> attributes;
  bool selfClosing = false;
  /// Characters: a run of text, UTF-8, with CR and CR LF read as LF. In the
  /// data state a U+0000 stays in the run as a NUL byte (the tree builder
  /// decides what it means); in every other state it is already U+FFFD.
  /// Comment: the comment's text.
  std::string data;

  // Doctype only.
  bool hasName = false;
  bool forceQuirks = false;
  std::optional<std::string> publicId;
  std::optional<std::string> systemId;
};

}  // namespace tervane::html
