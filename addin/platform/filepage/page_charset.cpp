#include "addin/platform/filepage/page_charset.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "addin/platform/error.h"
#include "addin/platform/filepage/undeclared_charset.h"

namespace tervane {

namespace {

constexpr std::size_t kPrescanBytes = 1024;

bool IsSpace(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// What a label names, as far as the prescan needs to know.
struct Declared {
  Charset charset;
  std::string label;
};

// "Getting an encoding", with the prescan's amendments: a declaration of
// UTF-16 inside a page that was read as bytes cannot be true, so browsers
// take it as UTF-8, and x-user-defined as windows-1252. nullopt for a label
// no browser knows.
std::optional<Declared> EncodingFromLabel(std::string_view label) {
  std::string lower(Trim(label));
  for (char& c : lower) c = ToLower(c);
  std::optional<Charset> charset = CharsetFromLabel(lower);
  if (!charset) return std::nullopt;
  if (*charset == Charset::kUtf16Le || *charset == Charset::kUtf16Be) charset = Charset::kUtf8;
  if (*charset == Charset::kXUserDefined) charset = Charset::kWindows1252;
  return Declared{*charset, lower};
}

// The charset named in a content attribute such as "text/html; charset=x".
std::optional<Declared> EncodingFromContent(std::string_view content) {
  std::size_t pos = 0;
  for (;;) {
    pos = content.find("charset", pos);  // the value is lower-cased already
    if (pos == std::string_view::npos) return std::nullopt;
    pos += 7;
    while (pos < content.size() && IsSpace(content[pos])) ++pos;
    if (pos < content.size() && content[pos] == '=') break;
  }
  ++pos;
  while (pos < content.size() && IsSpace(content[pos])) ++pos;
  if (pos == content.size()) return std::nullopt;
  const char quote = content[pos];
  if (quote == '"' || quote == '\'') {
    const std::size_t close = content.find(quote, pos + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return EncodingFromLabel(content.substr(pos + 1, close - pos - 1));
  }
  std::size_t end = pos;
  while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') ++end;
  return EncodingFromLabel(content.substr(pos, end - pos));
}

// The byte-level scan browsers make for a meta declaration before they
// parse. Reaching the end of the scanned bytes anywhere ends it without a
// result.
class Prescanner {
 public:
  explicit Prescanner(std::string_view bytes) : bytes_(bytes.substr(0, kPrescanBytes)) {}

  std::optional<Declared> Run() {
    for (; pos_ < bytes_.size(); ++pos_) {
      if (StartsWith("<!--")) {
        const std::size_t close = bytes_.find("-->", pos_ + 2);
        if (close == std::string_view::npos) return std::nullopt;
        pos_ = close + 2;
      } else if (StartsWithMeta()) {
        pos_ += 5;
        if (auto declared = ReadMeta()) return declared;
        if (ended_) return std::nullopt;
      } else if (StartsWithTag()) {
        while (pos_ < bytes_.size() && !IsSpace(Byte()) && Byte() != '>') ++pos_;
        Attribute ignored;
        while (GetAttribute(ignored)) {
        }
        if (ended_) return std::nullopt;
      } else if (StartsWith("<!") || StartsWith("</") || StartsWith("<?")) {
        pos_ = bytes_.find('>', pos_ + 1);
        if (pos_ == std::string_view::npos) return std::nullopt;
      }
    }
    return std::nullopt;
  }

 private:
  struct Attribute {
    std::string name;
    std::string value;
  };

  unsigned char Byte() const { return static_cast<unsigned char>(bytes_[pos_]); }

  bool StartsWith(std::string_view prefix) const {
    return bytes_.substr(pos_, prefix.size()) == prefix;
  }

  bool StartsWithMeta() const {
    if (bytes_.size() - pos_ < 6 || bytes_[pos_] != '<') return false;
    for (std::size_t i = 0; i < 4; ++i) {
      if (ToLower(bytes_[pos_ + 1 + i]) != "meta"[i]) return false;
    }
    const unsigned char after = static_cast<unsigned char>(bytes_[pos_ + 5]);
    return IsSpace(after) || after == '/';
  }

  bool StartsWithTag() const {
    std::size_t at = pos_ + 1;
    if (bytes_[pos_] != '<') return false;
    if (at < bytes_.size() && bytes_[at] == '/') ++at;
    if (at >= bytes_.size()) return false;
    const char c = ToLower(bytes_[at]);
    return c >= 'a' && c <= 'z';
  }

  // One meta element's attributes; the declaration it makes, if any.
  std::optional<Declared> ReadMeta() {
    std::vector<std::string> seen;
    bool gotPragma = false;
    std::optional<bool> needPragma;
    std::optional<Declared> charset;
    Attribute attribute;
    while (GetAttribute(attribute)) {
      if (std::find(seen.begin(), seen.end(), attribute.name) != seen.end()) continue;
      seen.push_back(attribute.name);
      if (attribute.name == "http-equiv") {
        if (attribute.value == "content-type") gotPragma = true;
      } else if (attribute.name == "content") {
        if (auto found = EncodingFromContent(attribute.value); found && !charset) {
          charset = std::move(found);
          needPragma = true;
        }
      } else if (attribute.name == "charset") {
        charset = EncodingFromLabel(attribute.value);
        needPragma = false;
      }
    }
    if (ended_ || !needPragma || (*needPragma && !gotPragma)) return std::nullopt;
    return charset;
  }

  // Reads the next attribute of a tag, lower-cased; false when the tag has
  // no more (or the bytes ended, which sets ended_).
  bool GetAttribute(Attribute& attribute) {
    attribute = Attribute{};
    while (pos_ < bytes_.size() && (IsSpace(Byte()) || Byte() == '/')) ++pos_;
    if (pos_ == bytes_.size()) return End();
    if (Byte() == '>') return false;
    for (;; ++pos_) {
      if (pos_ == bytes_.size()) return End();
      const char c = static_cast<char>(Byte());
      if (c == '=' && !attribute.name.empty()) {
        ++pos_;
        return GetValue(attribute);
      }
      if (IsSpace(c)) break;
      if (c == '/' || c == '>') return true;
      attribute.name += ToLower(c);
    }
    while (pos_ < bytes_.size() && IsSpace(Byte())) ++pos_;
    if (pos_ == bytes_.size()) return End();
    if (Byte() != '=') return true;
    ++pos_;
    return GetValue(attribute);
  }

  bool GetValue(Attribute& attribute) {
    while (pos_ < bytes_.size() && IsSpace(Byte())) ++pos_;
    if (pos_ == bytes_.size()) return End();
    const char quote = static_cast<char>(Byte());
    if (quote == '"' || quote == '\'') {
      for (++pos_;; ++pos_) {
        if (pos_ == bytes_.size()) return End();
        if (bytes_[pos_] == quote) {
          ++pos_;
          return true;
        }
        attribute.value += ToLower(bytes_[pos_]);
      }
    }
    if (quote == '>') return true;
    for (;; ++pos_) {
      if (pos_ == bytes_.size()) return End();
      if (IsSpace(Byte()) || Byte() == '>') return true;
      attribute.value += ToLower(bytes_[pos_]);
    }
  }

  bool End() {
    ended_ = true;
    return false;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool ended_ = false;
};

bool StartsWithBytes(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

PageEncoding DetectPageEncoding(std::string_view bytes) {
  if (StartsWithBytes(bytes, "\xEF\xBB\xBF")) return {Charset::kUtf8, 3, true};
  if (StartsWithBytes(bytes, "\xFE\xFF")) return {Charset::kUtf16Be, 2, true};
  if (StartsWithBytes(bytes, "\xFF\xFE")) return {Charset::kUtf16Le, 2, true};
  if (const auto declared = Prescanner(bytes).Run()) {
    if (!IsWritable(declared->charset)) {
      throw Error(kErrInvalidCall, "the page declares the encoding \"" + declared->label + "\" (" +
                                       std::string(CharsetName(declared->charset)) +
                                       "), in which new text cannot be written without changing "
                                       "how the rest of the page reads");
    }
    return {declared->charset, 0, true};
  }
  return {GuessUndeclaredCharset(bytes), 0, false};
}

}  // namespace tervane
