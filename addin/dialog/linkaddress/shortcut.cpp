#include "addin/dialog/linkaddress/shortcut.h"

#include <cstdint>

#include "addin/dialog/linkaddress/ascii.h"
#include "addin/dialog/linkaddress/utf8.h"

namespace tervane {
namespace {

constexpr std::string_view kSection = "InternetShortcut";
constexpr std::string_view kUnicodeSection = "InternetShortcut.W";
constexpr std::string_view kUrlKey = "URL";

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Turns UTF-16 code units into UTF-8; false on an unpaired surrogate.
class Utf16Writer {
 public:
  bool Put(char16_t unit) {
    if (pendingHigh_ != 0) {
      if (unit < 0xDC00 || unit > 0xDFFF) return false;
      AppendUtf8(0x10000 + ((char32_t{pendingHigh_} - 0xD800) << 10) + (unit - 0xDC00), text_);
      pendingHigh_ = 0;
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      pendingHigh_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return false;
    } else {
      AppendUtf8(unit, text_);
    }
    return true;
  }
  bool Complete() const { return pendingHigh_ == 0; }
  std::string& Text() { return text_; }

 private:
  char16_t pendingHigh_ = 0;
  std::string text_;
};

std::optional<std::string> DecodeUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  Utf16Writer writer;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit =
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    if (!writer.Put(unit)) return std::nullopt;
  }
  if (!writer.Complete()) return std::nullopt;
  return std::move(writer.Text());
}

// The whole file as UTF-8 text, or nullopt when it is not text.
std::optional<std::string> DecodeShortcutText(std::string_view bytes,
                                              const AnsiDecoder& decodeAnsi) {
  std::optional<std::string> text;
  if (bytes.starts_with(kUtf8Bom)) {
    bytes.remove_prefix(kUtf8Bom.size());
    if (IsValidUtf8(bytes)) text = std::string{bytes};
  } else if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
    const bool bigEndian = bytes.starts_with(kUtf16BeBom);
    text = DecodeUtf16(bytes.substr(2), bigEndian);
  } else if (bytes.find('\0') == std::string_view::npos) {
    if (decodeAnsi) {
      text = decodeAnsi(bytes);
    } else if (IsValidUtf8(bytes)) {
      text = std::string{bytes};
    }
  }
  // A NUL character, even one a byte-order mark allows, would end the
  // address early on its way through the platform's C strings.
  if (text && text->find('\0') != std::string::npos) return std::nullopt;
  return text;
}

// What the system's profile reader trims around names and values: ASCII
// white space, and ^Z (the end-of-file mark of old DOS files).
std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\v\f\x1A";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct UrlValues {
  std::optional<std::string_view> ansi;     // section "InternetShortcut"
  std::optional<std::string_view> unicode;  // section "InternetShortcut.W", UTF-7
};

// One pass over the lines, read as the system's profile reader reads them:
//  - a section header is a line that starts with "[" and has a "]"; the name
//    lies between the "[" and the last "]"; a "[" line without one is an
//    ordinary line of the section it stands in;
//  - of several sections with one name, only the first is searched;
//  - in it, the first line whose key is "URL" holds the value, even a line
//    with no "=" (whose value is empty).
UrlValues FindUrlValues(std::string_view text) {
  struct Section {
    std::string_view name;
    std::optional<std::string_view>* value;
    bool seen = false;
  };
  UrlValues values;
  Section sections[] = {{kSection, &values.ansi}, {kUnicodeSection, &values.unicode}};
  std::optional<std::string_view>* current = nullptr;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = TrimBlanks(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const std::size_t close = line.rfind(']');
    if (line.starts_with('[') && close != std::string_view::npos) {
      const std::string_view name = TrimBlanks(line.substr(1, close - 1));
      current = nullptr;
      for (Section& section : sections) {
        if (!EqualsIgnoringAsciiCase(name, section.name)) continue;
        if (!section.seen) current = section.value;
        section.seen = true;
      }
      continue;
    }
    if (current == nullptr || current->has_value()) continue;
    const std::size_t equals = line.find('=');
    if (!EqualsIgnoringAsciiCase(TrimBlanks(line.substr(0, equals)), kUrlKey)) continue;
    *current = equals == std::string_view::npos ? std::string_view{}
                                                : Unquote(TrimBlanks(line.substr(equals + 1)));
  }
  return values;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool IsShortcutName(std::string_view name) {
  constexpr std::string_view kExtension = ".url";
  return name.size() >= kExtension.size() &&
         EqualsIgnoringAsciiCase(name.substr(name.size() - kExtension.size()), kExtension);
}

std::string ShortcutUrlFromBytes(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
  const std::optional<std::string> text = DecodeShortcutText(bytes, decodeAnsi);
  if (!text) return {};
  const UrlValues values = FindUrlValues(*text);
  if (values.unicode) {
    // Windows writes "?" under "URL" for characters outside the ANSI code
    // page; the UTF-7 twin holds the address as it really is.
    std::optional<std::string> decoded = DecodeUtf7(*values.unicode);
    if (decoded && !decoded->empty()) return std::move(*decoded);
  }
  return values.ansi ? std::string{*values.ansi} : std::string{};
}

bool RunsAsScript(std::string_view address) {
  // The scheme runs up to the first ":"; a character that cannot stand in a
  // scheme makes the address relative, and none of the three names holds one.
  std::string scheme;
  for (const char c : address) {
    if (c == ':') return scheme == "javascript" || scheme == "vbscript" || scheme == "data";
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (static_cast<unsigned char>(c) <= 0x20 && scheme.empty()) continue;
    scheme += ToLowerAscii(c);
    if (scheme.size() > 10) return false;
  }
  return false;
}

std::optional<std::string> DecodeUtf7(std::string_view utf7) {
  Utf16Writer writer;
  std::size_t i = 0;
  while (i < utf7.size()) {
    const char c = utf7[i++];
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') return std::nullopt;
    if (c != '+') {
      if (!writer.Put(static_cast<char16_t>(c))) return std::nullopt;
      continue;
    }
    if (i < utf7.size() && utf7[i] == '-') {
      ++i;
      if (!writer.Put(u'+')) return std::nullopt;
      continue;
    }
    // A shifted run: modified base64 of UTF-16 units, ended by any other
    // character; a "-" that ends it is absorbed.
    std::uint32_t bits = 0;
    int bitCount = 0;
    std::size_t digits = 0;
    while (i < utf7.size() && Base64Value(utf7[i]) >= 0) {
      bits = (bits << 6) | static_cast<std::uint32_t>(Base64Value(utf7[i++]));
      bitCount += 6;
      ++digits;
      if (bitCount >= 16) {
        bitCount -= 16;
        const auto unit = static_cast<char16_t>(bits >> bitCount);
        if (unit == 0 || !writer.Put(unit)) return std::nullopt;
        bits &= (std::uint32_t{1} << bitCount) - 1;
      }
    }
    // An empty run, or left-over bits that are a whole digit or not zero,
    // cannot come from an encoder.
    if (digits == 0 || bitCount >= 6 || bits != 0) return std::nullopt;
    if (i < utf7.size() && utf7[i] == '-') ++i;
  }
  if (!writer.Complete()) return std::nullopt;
  return std::move(writer.Text());
}

}  // namespace tervane
