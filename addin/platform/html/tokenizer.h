// The HTML tokenizer of the WHATWG parsing algorithm, over a page already
// decoded to UTF-8. It keeps no copy of the input and reuses the caller's
// token, so a large page costs little more than its own bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "addin/platform/html/token.h"

namespace tervane::html {

/// The states the tree builder switches the tokenizer to after certain start
/// tags (title and textarea: RCDATA; style, xmp, iframe, noembed, noframes and
/// noscript with scripting: RAWTEXT; script: script data; plaintext).
enum class TextState : unsigned char { kData, kRcdata, kRawtext, kScriptData, kPlaintext };

class Tokenizer {
 public:
  /// `input` is UTF-8 and must outlive the tokenizer. A byte that does not
  /// begin a well-formed UTF-8 sequence reads as U+FFFD. A byte order mark
  /// at the start is skipped, as browsers do; offsets still count it.
  explicit Tokenizer(std::string_view input);
  ~Tokenizer();
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  /// Reads the next token into `token`, overwriting every member. After the
  /// end of file, keeps answering kEndOfFile.
  void Next(Token& token);

  /// Switches to a text state; the next token is read in it. The appropriate
  /// end tag is the last start tag this tokenizer emitted.
  void SwitchTo(TextState state);

  /// Whether "<![CDATA[" opens a CDATA section: true while the adjusted
  /// current node is not an HTML element. Set before each Next().
  void SetCdataAllowed(bool allowed);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tervane::html
