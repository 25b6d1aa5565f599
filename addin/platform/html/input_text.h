// Reading the tokenizer's input one character at a time, as the WHATWG
// standard's input stream preprocessing has it: UTF-8, CR LF and a lone CR
// read as LF, a byte that begins no well-formed sequence read as U+FFFD.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tervane::html {

inline constexpr char32_t kEndOfInput = 0xFFFFFFFF;
inline constexpr char32_t kReplacement = 0xFFFD;

struct InputChar {
  /// kEndOfInput past the last byte.
  char32_t code;
  /// Bytes it takes in the input (2 for CR LF); 0 at the end.
  std::size_t length;
};

inline InputChar ReadChar(std::string_view input, std::size_t at) {
  if (at >= input.size()) return {kEndOfInput, 0};
  const auto lead = static_cast<unsigned char>(input[at]);
  if (lead < 0x80) {
    if (lead != '\r') return {lead, 1};
    return {U'\n', at + 1 < input.size() && input[at + 1] == '\n' ? 2u : 1u};
  }
  std::size_t length;
  char32_t code;
  char32_t least;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return {kReplacement, 1};
  }
  if (input.size() - at < length) return {kReplacement, 1};
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(input[at + k]);
    if ((next & 0xC0) != 0x80) return {kReplacement, 1};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return {kReplacement, 1};
  }
  return {code, length};
}

inline void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    const char bytes[] = {static_cast<char>(0xC0 | (code >> 6)),
                          static_cast<char>(0x80 | (code & 0x3F))};
    out.append(bytes, 2);
  } else if (code < 0x10000) {
    const char bytes[] = {static_cast<char>(0xE0 | (code >> 12)),
                          static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                          static_cast<char>(0x80 | (code & 0x3F))};
    out.append(bytes, 3);
  } else {
    const char bytes[] = {
        static_cast<char>(0xF0 | (code >> 18)), static_cast<char>(0x80 | ((code >> 12) & 0x3F)),
        static_cast<char>(0x80 | ((code >> 6) & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
    out.append(bytes, 4);
  }
}

/// ASCII bytes a state treats specially. CR is in every set (it must be
/// read as LF), and bytes from 0x80 up are never in one.
class ByteSet {
 public:
  consteval explicit ByteSet(std::string_view bytes) : has_{} {
    for (const char byte : bytes) has_[static_cast<unsigned char>(byte)] = true;
    has_['\r'] = true;
  }
  constexpr bool Has(unsigned char byte) const { return byte < 0x80 && has_[byte]; }

 private:
  std::array<bool, 0x80> has_;
};

/// The end of the text from `at` that a state copies as it is: ASCII bytes
/// outside `special` and well-formed UTF-8 sequences.
inline std::size_t PlainTextEnd(std::string_view input, std::size_t at, const ByteSet& special) {
  while (at < input.size()) {
    const auto byte = static_cast<unsigned char>(input[at]);
    if (byte < 0x80) {
      if (special.Has(byte)) break;
      ++at;
    } else {
      const InputChar next = ReadChar(input, at);
      if (next.code == kReplacement && next.length == 1) break;  // not UTF-8
      at += next.length;
    }
  }
  return at;
}

constexpr bool IsAsciiAlpha(char32_t code) {
  return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z');
}
constexpr bool IsAsciiDigit(char32_t code) { return code >= '0' && code <= '9'; }
constexpr bool IsAsciiAlphanumeric(char32_t code) {
  return IsAsciiAlpha(code) || IsAsciiDigit(code);
}
constexpr bool IsAsciiUpper(char32_t code) { return code >= 'A' && code <= 'Z'; }
constexpr char32_t ToAsciiLower(char32_t code) { return IsAsciiUpper(code) ? code + 0x20 : code; }
/// Tab, LF, FF and space: CR never reaches a state, it reads as LF.
constexpr bool IsHtmlSpace(char32_t code) {
  return code == '\t' || code == '\n' || code == '\f' || code == ' ';
}

}  // namespace tervane::html
