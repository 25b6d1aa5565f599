// ASCII-only letter case for the names the link builder compares without
// regard to case (file patterns, shortcut sections and keys, URL hosts).
// Bytes outside ASCII, including every byte of a UTF-8 sequence, are left
// as they are.
#pragma once

#include <algorithm>
#include <string_view>

namespace tervane {

constexpr char ToLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

}  // namespace tervane
