// Character references ("&amp;", "&#38;", "&#x26;", "&not") decoded as the
// WHATWG standard's character reference states do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tervane::html {

/// Decodes the character reference whose text follows an "&" (`text` runs
/// to the end of the input) and appends its characters to `out`. Returns the
/// bytes of `text` it took; 0 when the "&" stands for itself, and then
/// nothing is appended. `inAttribute`: in an attribute value, a named
/// reference without ";" followed by "=" or a letter or digit is not one.
std::size_t DecodeCharacterReference(std::string_view text, bool inAttribute, std::string& out);

/// The character a numeric reference to `code` stands for: U+FFFD for 0,
/// surrogates and values past U+10FFFF, the windows-1252 character for
/// 0x80 to 0x9F where that code page has one.
char32_t NumericReferenceCharacter(std::uint32_t code);

}  // namespace tervane::html
