#include "addin/platform/html/character_reference.h"

#include <algorithm>
#include <span>

#include "addin/platform/html/input_text.h"
#include "addin/platform/html/named_references.h"

namespace tervane::html {
namespace {

// What browsers read 0x80 to 0x9F as (windows-1252); 0 where they keep the
// control character.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The longest name in the table that `text` begins with, or nullptr. The
// range of names sharing the characters read so far narrows with each one.
const NamedReference* LongestNamedReference(std::string_view text) {
  const std::span<const NamedReference> table = NamedReferences();
  auto low = table.begin();
  auto high = table.end();
  const NamedReference* longest = nullptr;
  for (std::size_t k = 0; k < text.size() && low != high; ++k) {
    // Within the range every name has the same first k characters, so they
    // are ordered by their k-th; a name of exactly k characters comes first
    // and is left behind.
    const auto key = [k](const NamedReference& entry) {
      return entry.name.size() > k ? static_cast<int>(static_cast<unsigned char>(entry.name[k]))
                                   : -1;
    };
    const int wanted = static_cast<unsigned char>(text[k]);
    low = std::partition_point(low, high, [&](const NamedReference& e) { return key(e) < wanted; });
    high =
        std::partition_point(low, high, [&](const NamedReference& e) { return key(e) <= wanted; });
    if (low != high && low->name.size() == k + 1) longest = &*low;
  }
  return longest;
}

std::size_t DecodeNumeric(std::string_view text, std::string& out) {
  std::size_t at = 1;  // past "#"
  const bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
  if (hex) ++at;
  const std::size_t digitsStart = at;
  std::uint32_t code = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    std::uint32_t digit;
    if (IsAsciiDigit(c)) {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
      digit = static_cast<std::uint32_t>(ToAsciiLower(c) - 'a' + 10);
    } else {
      break;
    }
    // Past U+10FFFF the value no longer matters, only that it is too large.
    code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + digit, 0x110000);
  }
  if (at == digitsStart) return 0;
  if (at < text.size() && text[at] == ';') ++at;
  AppendUtf8(out, NumericReferenceCharacter(code));
  return at;
}

}  // namespace

char32_t NumericReferenceCharacter(std::uint32_t code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  if (code >= 0x80 && code <= 0x9F && kWindows1252[code - 0x80] != 0) {
    return kWindows1252[code - 0x80];
  }
  return code;
}

std::size_t DecodeCharacterReference(std::string_view text, bool inAttribute, std::string& out) {
  if (text.empty()) return 0;
  if (text[0] == '#') return DecodeNumeric(text, out);
  if (!IsAsciiAlphanumeric(static_cast<unsigned char>(text[0]))) return 0;
  const NamedReference* reference = LongestNamedReference(text);
  if (reference == nullptr) return 0;
  const std::size_t length = reference->name.size();
  if (inAttribute && reference->name.back() != ';' && length < text.size() &&
      (text[length] == '=' || IsAsciiAlphanumeric(static_cast<unsigned char>(text[length])))) {
    return 0;
  }
  out.append(reference->value);
  return length;
}

}  // namespace tervane::html
