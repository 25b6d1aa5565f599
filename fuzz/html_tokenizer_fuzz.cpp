// Pages of any bytes, read by the HTML tokenizer in every text state, with
// CDATA sections allowed or not. The first byte picks the state and whether
// CDATA is allowed; the rest is the page. Every token's offset lies within
// the page and never goes back, and the end of file comes, at the page's end.
// Names are lowercased, attribute names unique, all text UTF-8.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "addin/platform/html/tokenizer.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;
using tervane::fuzz::IsUtf8;
using tervane::html::TextState;
using tervane::html::Token;
using tervane::html::TokenKind;

namespace {

bool HasAsciiUpper(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr TextState kStates[] = {TextState::kData, TextState::kRcdata, TextState::kRawtext,
                                          TextState::kScriptData, TextState::kPlaintext};
  const TextState state = kStates[data[0] % 5];
  const bool cdataAllowed = (data[0] / 5) % 2 == 1;
  // Above 10, the state is switched to after every start tag, as the tree
  // builder does after title or script.
  const bool switchAfterStartTags = data[0] >= 10;
  const std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);

  tervane::html::Tokenizer tokenizer(page);
  tokenizer.SetCdataAllowed(cdataAllowed);
  if (!switchAfterStartTags) tokenizer.SwitchTo(state);
  Token token;
  std::size_t lastOffset = 0;
  // Each token but the last takes at least one byte.
  for (std::size_t count = 0; count <= page.size() + 1; ++count) {
    tokenizer.Next(token);
    Check(token.offset >= lastOffset, "offsets never go back");
    Check(token.offset <= page.size(), "offsets lie within the page");
    lastOffset = token.offset;
    if (token.kind == TokenKind::kEndOfFile) {
      Check(token.offset == page.size(), "the end of file is at the page's end");
      tokenizer.Next(token);
      Check(token.kind == TokenKind::kEndOfFile, "the end of file stays");
      return 0;
    }
    Check(token.kind != TokenKind::kCharacters || !token.data.empty(), "no empty runs");
    Check(IsUtf8(token.name) && IsUtf8(token.data), "names and text are UTF-8");
    Check(!HasAsciiUpper(token.name), "names are lowercased");
    Check(token.kind == TokenKind::kStartTag || token.attributes.empty(),
          "only start tags have attributes");
    for (std::size_t k = 0; k < token.attributes.size(); ++k) {
      const tervane::html::Attribute& attribute = token.attributes[k];
      Check(IsUtf8(attribute.name) && IsUtf8(attribute.value), "attributes are UTF-8");
      Check(!attribute.name.empty() && !HasAsciiUpper(attribute.name),
            "attribute names are lowercased");
      for (std::size_t earlier = 0; earlier < k; ++earlier) {
        Check(token.attributes[earlier].name != attribute.name, "attribute names are unique");
      }
    }
    if (token.kind == TokenKind::kStartTag && switchAfterStartTags) tokenizer.SwitchTo(state);
  }
  Check(false, "the end of file comes");
  return 0;
}
