// Pages in every kind of encoding a browser reads, declared in each way a
// page can declare it, and what linking four names into each must add: rows
// that the tests of tervane, tervane.exe and TervaneWindow.exe and the
// browser's judgement all walk. The bytes of each encoding are written out
// here, as Python's codecs give them, not made by the program's own codec.
#pragma once

#include <string>
#include <vector>

namespace tervane::testing {

/// The four names each page links to: ASCII, Japanese, Latin and a symbol.
/// The prefixes keep them in the same order in every list.
inline const std::vector<std::string>& EncodingRowNames() {
  static const std::vector<std::string> names = {"a.jpg", "b-café.jpg", "c-日本.jpg", "d-☃.png"};
  return names;
}

struct PageEncodingRow {
  std::string what;      // "Shift_JIS, meta", ...
  std::string page;      // the page's bytes
  std::string inserted;  // the bytes the four text links add before </body>
};

namespace encoding_rows {

struct Encoding {
  const char* label;   // as a page declares it
  std::string bom;     // "" when the encoding has none
  bool utf16be;        // ASCII is written as two bytes, the zero first
  bool utf16le;        // ... the zero second
  std::string sample;  // text in the page's own language
  // The names' characters in the encoding, "" where it cannot hold them.
  std::string nihon, e, snowman;
};

inline const std::vector<Encoding>& Encodings() {
  static const std::vector<Encoding> encodings = {
      {"utf-8", "\xEF\xBB\xBF", false, false,
       "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8",
       "\xE6\x97\xA5\xE6\x9C\xAC", "\xC3\xA9", "\xE2\x98\x83"},
      {"Shift_JIS", "", false, false,
       "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x79\x81\x5B\x83\x57\x95\x5C", "\x93\xFA\x96\x7B", "",
       ""},
      {"EUC-JP", "", false, false, "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xDA\xA1\xBC\xA5\xB8",
       "\xC6\xFC\xCB\xDC", "", ""},
      {"ISO-8859-1", "", false, false,
       "\x43\x61\x66\xE9\x20\xAB\x20\x64\xE9\x6A\xE0\x20\x76\x75\x20\xBB", "", "\xE9", ""},
      {"ISO-8859-2", "", false, false,
       "\x5A\x61\xBF\xF3\xB3\xE6\x20\x67\xEA\xB6\x6C\xB1\x20\x6A\x61\xBC\xF1", "", "\xE9", ""},
      {"EUC-KR", "", false, false, "\xC7\xD1\xB1\xB9\xBE\xEE\x20\xC6\xE4\xC0\xCC\xC1\xF6",
       "\xEC\xED\xDC\xE2", "", ""},
      {"GB18030", "", false, false, "\xD6\xD0\xCE\xC4\xCD\xF8\xD2\xB3", "\xC8\xD5\xB1\xBE",
       "\xA8\xA6", ""},  // ☃ takes four bytes, which are not written
      {"Big5", "", false, false, "\xA4\xA4\xA4\xE5\xBA\xF4\xAD\xB6", "\xA4\xE9\xA5\xBB", "", ""},
      {"UTF-16LE", "\xFF\xFE", false, true,
       std::string("\xE5\x65\x2C\x67\x9E\x8A\x6E\x30\xDA\x30\xFC\x30\xB8\x30", 14),
       std::string("\xE5\x65\x2C\x67", 4), std::string("\xE9\x00", 2), "\x03\x26"},
      {"UTF-16BE", "\xFE\xFF", true, false,
       std::string("\x65\xE5\x67\x2C\x8A\x9E\x30\x6E\x30\xDA\x30\xFC\x30\xB8", 14),
       std::string("\x65\xE5\x67\x2C", 4), std::string("\x00\xE9", 2), "\x26\x03"},
  };
  return encodings;
}

// ASCII text in the encoding's bytes.
inline std::string Ascii(const Encoding& encoding, const std::string& text) {
  if (!encoding.utf16be && !encoding.utf16le) return text;
  std::string bytes;
  for (const char c : text) {
    if (encoding.utf16be) bytes += '\0';
    bytes += c;
    if (encoding.utf16le) bytes += '\0';
  }
  return bytes;
}

// One text link: the name's characters in the encoding where it holds
// them and the page says what it is in; otherwise the address percent-encoded
// as UTF-8 and the text as character references.
inline std::string Link(const Encoding& encoding, bool declared, const std::string& prefix,
                        const std::string& held, const std::string& address,
                        const std::string& reference, const std::string& suffix) {
  const bool raw = declared && !held.empty();
  return Ascii(encoding, "<a href=\"" + prefix) + (raw ? held : Ascii(encoding, address)) +
         Ascii(encoding, suffix + "\">" + prefix) + (raw ? held : Ascii(encoding, reference)) +
         Ascii(encoding, suffix + "</a><br>");
}

}  // namespace encoding_rows

/// Every encoding × every way of declaring it: a <meta charset>, the
/// http-equiv form, a byte-order mark, and nothing at all (then the page's
/// own text decides how a browser reads it, and what goes in is ASCII).
inline std::vector<PageEncodingRow> PageEncodingRows() {
  using namespace encoding_rows;
  std::vector<PageEncodingRow> rows;
  for (const Encoding& encoding : Encodings()) {
    const bool utf16 = encoding.utf16be || encoding.utf16le;
    const std::string label = encoding.label;
    struct Form {
      std::string name, bom, declaration;
    };
    std::vector<Form> forms;
    if (!encoding.bom.empty()) forms.push_back({"byte-order mark", encoding.bom, ""});
    if (!utf16) {
      forms.push_back({"meta", "", "<meta charset=\"" + label + "\">"});
      forms.push_back(
          {"http-equiv", "",
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + label + "\">"});
      forms.push_back({"undeclared", "", ""});
    }
    for (const Form& form : forms) {
      const bool declared = form.name != "undeclared";
      PageEncodingRow row;
      row.what = label + ", " + form.name;
      row.page = form.bom +
                 Ascii(encoding, "<!DOCTYPE html>\r\n<html><head>" + form.declaration +
                                     "<title>T</title></head>\r\n<body>\r\n<p>") +
                 encoding.sample + Ascii(encoding, "</p>\r\n</body>\r\n</html>\r\n");
      row.inserted =
          Link(encoding, declared, "a", "", "", "", ".jpg") +
          Link(encoding, declared, "b-caf", encoding.e, "%C3%A9", "&#233;", ".jpg") +
          Link(encoding, declared, "c-", encoding.nihon, "%E6%97%A5%E6%9C%AC", "&#26085;&#26412;",
               ".jpg") +
          Link(encoding, declared, "d-", encoding.snowman, "%E2%98%83", "&#9731;", ".png");
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

/// ASCII text as the row's page writes it: in UTF-16, two bytes a character.
inline std::string AsciiInPage(const PageEncodingRow& row, const std::string& text) {
  encoding_rows::Encoding units{};
  units.utf16be = row.page.starts_with("\xFE\xFF");
  units.utf16le = row.page.starts_with("\xFF\xFE");
  return encoding_rows::Ascii(units, text);
}

/// Where the links go: before the body's end tag.
inline std::string PageWithLinks(const PageEncodingRow& row) {
  std::string page = row.page;
  page.insert(page.rfind(AsciiInPage(row, "</body>")), row.inserted);
  return page;
}

/// Where `tervane sync --folder` puts them: in a block of the start comment
/// `start` (ASCII), one a line, each line ending in CR LF as the page's do.
inline std::string PageWithBlock(const PageEncodingRow& row, const std::string& start) {
  const std::string lineEnd = AsciiInPage(row, "\r\n"), br = AsciiInPage(row, "<br>");
  std::string block = AsciiInPage(row, start) + lineEnd;
  for (std::size_t at = 0, end; (end = row.inserted.find(br, at)) != std::string::npos;
       at = end + br.size()) {
    block += row.inserted.substr(at, end + br.size() - at) + lineEnd;
  }
  block += AsciiInPage(row, "<!-- /tervane -->") + lineEnd;
  std::string page = row.page;
  page.insert(page.rfind(AsciiInPage(row, "</body>")), block);
  return page;
}

}  // namespace tervane::testing
