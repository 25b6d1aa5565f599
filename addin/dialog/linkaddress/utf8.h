// UTF-8 one character at a time: recognising a character, for the validity
// tests and for lenient decoding, which must agree on where characters begin
// and end; and writing one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tervane {

struct Utf8Step {
  std::size_t length;  // at least 1
  bool valid;
};

/// What begins at `pos`: a well-formed UTF-8 character and its length, or,
/// when none begins there, the bytes that browsers' decoders replace with one
/// U+FFFD: the byte at `pos` and as many after it as could still have
/// continued a character (a stray continuation byte, an overlong form, a
/// surrogate, a value above U+10FFFF or a sequence cut short end there).
inline Utf8Step NextUtf8(std::string_view bytes, std::size_t pos) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[pos + i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return {1, true};
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range allowed for the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return {1, false};
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (pos + i >= bytes.size()) return {i, false};
    if (at(i) < (i == 1 ? low : 0x80) || at(i) > (i == 1 ? high : 0xBF)) return {i, false};
  }
  return {length, true};
}

/// The length of the well-formed UTF-8 character at `pos` (1 to 4), or 0 when
/// none begins there.
inline std::size_t Utf8CharLength(std::string_view bytes, std::size_t pos) {
  const Utf8Step step = NextUtf8(bytes, pos);
  return step.valid ? step.length : 0;
}

/// True when `bytes` are well-formed UTF-8.
inline bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t length = Utf8CharLength(bytes, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

/// Appends the UTF-8 form of the code point `c` (at most U+10FFFF).
inline void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace tervane
