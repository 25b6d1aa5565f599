// EncodeForPage and AddressAsRead (declared in page_charset.h): the markup
// written into a page, and the addresses read back from it.
#include <cstdint>
#include <cstdio>
#include <string>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/page_charset.h"

namespace tervane {

namespace {

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Where a character of markup stands, as far as its escaping goes.
enum class Place { kText, kAddress };

// Walks markup and tells, for each byte, whether it stands in an href or
// src value or anywhere else.
class MarkupWalker {
 public:
  explicit MarkupWalker(std::string_view markup) : markup_(markup) {}

  // The place of the byte at `pos`; call with increasing `pos`, once each.
  Place At(std::size_t pos) {
    const char c = markup_[pos];
    switch (state_) {
      case State::kText:
        if (markup_.substr(pos, 4) == "<!--") {
          state_ = State::kComment;
        } else if (c == '<' && pos + 1 < markup_.size() &&
                   (IsAsciiLetter(markup_[pos + 1]) || markup_[pos + 1] == '/')) {
          state_ = State::kTag;
          name_.clear();
        }
        return Place::kText;
      case State::kComment:
        if (pos >= 2 && markup_.substr(pos - 2, 3) == "-->") state_ = State::kText;
        return Place::kText;
      case State::kTag:
        if (c == '>') {
          state_ = State::kText;
        } else if (c == '=') {
          state_ = State::kValueStart;
        } else if (IsSpace(c) || c == '/') {
          name_.clear();
        } else {
          name_ += ToLower(c);
        }
        return Place::kText;
      case State::kValueStart:
        if (IsSpace(c)) return Place::kText;
        if (c == '"' || c == '\'') {
          quote_ = c;
          state_ = State::kValue;
          return Place::kText;
        }
        if (c == '>') {
          state_ = State::kText;
          return Place::kText;
        }
        quote_ = '\0';
        state_ = State::kValue;
        return ValuePlace();
      case State::kValue:
        if (quote_ == '\0' ? IsSpace(c) || c == '>' : c == quote_) {
          state_ = c == '>' ? State::kText : State::kTag;
          name_.clear();
          return Place::kText;
        }
        return ValuePlace();
    }
    return Place::kText;
  }

 private:
  enum class State { kText, kComment, kTag, kValueStart, kValue };

  Place ValuePlace() const {
    return name_ == "href" || name_ == "src" ? Place::kAddress : Place::kText;
  }

  std::string_view markup_;
  State state_ = State::kText;
  std::string name_;
  char quote_ = '\0';
};

void AppendEscaped(std::string_view character, Place place, std::string& out) {
  char escape[16];
  if (place == Place::kAddress) {
    for (const char byte : character) {
      std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(byte));
      out += escape;
    }
    return;
  }
  std::uint32_t value = static_cast<unsigned char>(character[0]) & (0x7Fu >> character.size());
  for (std::size_t i = 1; i < character.size(); ++i) {
    value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3Fu);
  }
  std::snprintf(escape, sizeof escape, "&#%u;", static_cast<unsigned>(value));
  out += escape;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = ToLower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The byte a %XX escape at `pos` stands for, when it is one of 0x80 or above.
int HighEscapeAt(std::string_view text, std::size_t pos) {
  if (pos + 2 >= text.size() || text[pos] != '%') return -1;
  const int high = HexValue(text[pos + 1]), low = HexValue(text[pos + 2]);
  if (high < 8 || low < 0) return -1;
  return high * 16 + low;
}

// A C1 control or a noncharacter, which HTML parsers read as U+FFFD.
bool IsReplacedByParsers(std::string_view character) {
  std::uint32_t value = static_cast<unsigned char>(character[0]) & (0x7Fu >> character.size());
  for (std::size_t i = 1; i < character.size(); ++i) {
    value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3Fu);
  }
  return (value >= 0x80 && value <= 0x9F) || (value >= 0xFDD0 && value <= 0xFDEF) ||
         (value & 0xFFFE) == 0xFFFE;
}

}  // namespace

std::string EncodeForPage(const PageEncoding& encoding, std::string_view markup) {
  if (!IsValidUtf8(markup)) throw Error(kErrInvalidCall, "the text to insert is not valid UTF-8");
  if (encoding.declared) {
    if (auto encoded = Encode(encoding.charset, markup)) return *std::move(encoded);
  }
  std::string escaped;
  escaped.reserve(markup.size() + markup.size() / 2);
  MarkupWalker walker(markup);
  for (std::size_t pos = 0; pos < markup.size();) {
    const std::size_t length = Utf8CharLength(markup, pos);
    const std::string_view character = markup.substr(pos, length);
    Place place = walker.At(pos);
    for (std::size_t i = 1; i < length; ++i) walker.At(pos + i);
    const bool fits =
        length == 1 || (encoding.declared && Encode(encoding.charset, character).has_value());
    if (fits) {
      escaped += character;
    } else {
      AppendEscaped(character, place, escaped);
    }
    pos += length;
  }
  auto encoded = Encode(encoding.charset, escaped);
  if (!encoded) {
    throw Error(kErrInvalidCall, "the markup cannot be written in " +
                                     std::string(CharsetName(encoding.charset)) +
                                     ", the encoding of the page");
  }
  return *std::move(encoded);
}

std::string AddressAsRead(std::string_view href) {
  std::string read;
  read.reserve(href.size());
  for (std::size_t pos = 0; pos < href.size();) {
    if (HighEscapeAt(href, pos) < 0) {
      read += href[pos++];
      continue;
    }
    std::string bytes;
    std::size_t end = pos;
    for (int byte; (byte = HighEscapeAt(href, end)) >= 0; end += 3) {
      bytes += static_cast<char>(byte);
    }
    if (!IsValidUtf8(bytes)) {
      read += href.substr(pos, end - pos);
    } else {
      // Characters an address always keeps percent-encoded (HTML parsers
      // would replace them) stay as written.
      for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, at);
        const std::string_view character = std::string_view(bytes).substr(at, length);
        if (IsReplacedByParsers(character)) {
          read += href.substr(pos + at * 3, length * 3);
        } else {
          read += character;
        }
        at += length;
      }
    }
    pos = end;
  }
  return read;
}

}  // namespace tervane
