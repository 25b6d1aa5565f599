#include "addin/platform/filepage/page_charset.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/error.h"

namespace tervane {

namespace {

constexpr std::size_t kPrescanBytes = 1024;

// Labels of the other encodings a browser knows. A page declaring one of
// them is refused rather than misread; a label outside every list is passed
// by, as browsers do.
constexpr auto kOtherEncodingLabels = std::to_array<std::string_view>({
    "866 cp866 csibm866 ibm866",
    "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2",
    "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3",
    "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4",
    "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 "
    "iso_8859-5:1988",
    "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e "
    "iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987",
    "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 "
    "iso_8859-7 iso_8859-7:1987 sun_eu_greek",
    "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 "
    "iso_8859-8 iso_8859-8:1988 visual",
    "csiso88598i iso-8859-8-i logical",
    "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6",
    "iso-8859-13 iso8859-13 iso885913",
    "iso-8859-14 iso8859-14 iso885914",
    "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9",
    "iso-8859-16",
    "cskoi8r koi koi8 koi8-r koi8_r",
    "koi8-ru koi8-u",
    "csmacintosh mac macintosh x-mac-roman",
    "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874",
    "cp1250 windows-1250 x-cp1250",
    "cp1251 windows-1251 x-cp1251",
    "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 "
    "iso88591 iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252",
    "cp1253 windows-1253 x-cp1253",
    "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 "
    "latin5 windows-1254 x-cp1254",
    "cp1255 windows-1255 x-cp1255",
    "cp1256 windows-1256 x-cp1256",
    "cp1257 windows-1257 x-cp1257",
    "cp1258 windows-1258 x-cp1258",
    "x-mac-cyrillic x-mac-ukrainian",
    "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk",
    "gb18030",
    "big5 big5-hkscs cn-big5 csbig5 x-x-big5",
    "csiso2022jp iso-2022-jp",
    "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 "
    "ksc_5601 windows-949",
    "csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement",
    "x-user-defined",
});

// A declaration of UTF-16 inside a page that was read as bytes cannot be
// true, so browsers take it as UTF-8.
constexpr std::string_view kUtf16Labels =
    "unicodefffe utf-16be csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le";

bool IsSpace(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool InList(std::string_view list, std::string_view lowerLabel) {
  while (!list.empty()) {
    const std::size_t blank = list.find(' ');
    if (list.substr(0, blank) == lowerLabel) return true;
    if (blank == std::string_view::npos) break;
    list.remove_prefix(blank + 1);
  }
  return false;
}

// What a label names, as far as the prescan needs to know.
struct Declared {
  std::optional<Charset> charset;  // nullopt: an encoding the stand-in does not read
  std::string label;
};

// "Getting an encoding": nullopt for a label no browser knows.
std::optional<Declared> EncodingFromLabel(std::string_view label) {
  std::string lower(Trim(label));
  for (char& c : lower) c = ToLower(c);
  if (const auto charset = CharsetFromLabel(lower)) return Declared{charset, lower};
  if (InList(kUtf16Labels, lower)) return Declared{Charset::kUtf8, lower};
  for (std::string_view list : kOtherEncodingLabels) {
    if (InList(list, lower)) return Declared{std::nullopt, lower};
  }
  return std::nullopt;
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

std::string CodePointName(std::string_view character) {
  std::uint32_t value = static_cast<unsigned char>(character[0]);
  if (character.size() > 1) {
    value &= 0x7Fu >> character.size();
    for (std::size_t i = 1; i < character.size(); ++i) {
      value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3Fu);
    }
  }
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(value));
  return name;
}

}  // namespace

PageEncoding DetectPageEncoding(std::string_view bytes) {
  if (StartsWithBytes(bytes, "\xEF\xBB\xBF")) return {Charset::kUtf8, 3};
  if (StartsWithBytes(bytes, "\xFE\xFF") || StartsWithBytes(bytes, "\xFF\xFE") ||
      StartsWithBytes(bytes, std::string_view("<\0?\0x\0", 6)) ||
      StartsWithBytes(bytes, std::string_view("\0<\0?\0x", 6))) {
    throw Error(kErrInvalidCall, "the page is in UTF-16, which cannot be read");
  }
  if (const auto declared = Prescanner(bytes).Run()) {
    if (!declared->charset) {
      throw Error(kErrInvalidCall, "the page declares the encoding \"" + declared->label +
                                       "\"; only UTF-8, Shift_JIS and EUC-JP can be read");
    }
    return {*declared->charset, 0};
  }
  return {IsValidUtf8(bytes) ? Charset::kUtf8 : Charset::kCp932, 0};
}

std::string EncodeForPage(Charset charset, std::string_view utf8) {
  if (auto encoded = Encode(charset, utf8)) return *std::move(encoded);
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t length = Utf8CharLength(utf8, pos);
    if (length == 0) break;
    const std::string_view character = utf8.substr(pos, length);
    if (!Encode(charset, character)) {
      throw Error(kErrInvalidCall, "the character \"" + std::string(character) + "\" (" +
                                       CodePointName(character) + ") cannot be written in " +
                                       std::string(CharsetName(charset)) +
                                       ", the encoding of the page");
    }
    pos += length;
  }
  throw Error(kErrInvalidCall, "the text to insert is not valid UTF-8");
}

}  // namespace tervane
