#include "addin/dialog/linkaddress/shortcut.h"

#include <gtest/gtest.h>

#include <string>

namespace tervane {
namespace {

using namespace std::string_literals;

// Stands in for a single-byte ANSI code page: Latin-1, with 0xFF unmapped.
std::optional<std::string> DecodeLatin1(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0xFF) return std::nullopt;
    if (b < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (b >> 6));
      text += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return text;
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(ShortcutTest, ShortcutNames) {
  const struct {
    std::string_view name;
    bool isShortcut;
  } cases[] = {
      {"news.url", true}, {"NEWS.URL", true}, {"a.Url", true},      {".url", true},
      {"写真.url", true}, {"url", false},     {"a.url.txt", false}, {"a.urlx", false},
      {"aurl", false},    {"", false},        {"a.ur", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "name '" << c.name << "'");
    EXPECT_EQ(IsShortcutName(c.name), c.isShortcut);
  }
}

TEST(ShortcutTest, AddressFromFileContents) {
  const std::string longUrl = "http://e/" + std::string(5000, 'x');
  const struct {
    std::string_view what;
    std::string bytes;
    std::string_view expected;
  } cases[] = {
      {"CR LF lines", "[InternetShortcut]\r\nURL=http://e/\r\n", "http://e/"},
      {"LF lines, no final break", "[InternetShortcut]\nURL=http://e/", "http://e/"},
      {"CR lines", "[InternetShortcut]\rURL=http://e/\r", "http://e/"},
      {"letter case of names", "[internetSHORTCUT]\nUrl=http://e/", "http://e/"},
      {"blanks around names and value", "  [ InternetShortcut ]\t\n  URL \t=  http://e/a b  \n",
       "http://e/a b"},
      {"double quotes", "[InternetShortcut]\nURL=\"http://e/\"", "http://e/"},
      {"single quotes", "[InternetShortcut]\nURL='http://e/'", "http://e/"},
      {"quotes that do not match", "[InternetShortcut]\nURL=\"http://e/'", "\"http://e/'"},
      {"first key wins", "[InternetShortcut]\nURL=http://a/\nURL=http://b/", "http://a/"},
      {"first section wins", "[InternetShortcut]\nURL=http://a/\n[InternetShortcut]\nURL=b",
       "http://a/"},
      {"key of another section", "[Other]\nURL=http://a/\n[InternetShortcut]\nIconIndex=0", ""},
      {"key before any section", "URL=http://a/\n[InternetShortcut]\n", ""},
      {"similar key names", "[InternetShortcut]\nURLS=a\nMyURL=b\nURL=c", "c"},
      {"empty value", "[InternetShortcut]\nURL=\n", ""},
      {"long value read whole", "[InternetShortcut]\nURL=" + longUrl, longUrl},
      {"ANSI bytes decoded", "[InternetShortcut]\nURL=http://e/caf\xE9", "http://e/café"},
      {"bytes the code page rejects", "[InternetShortcut]\nURL=http://e/\xFF", ""},
      {"NUL byte without byte-order mark", "[InternetShortcut]\nURL=http://e/\0"s, ""},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=http://e/写真",
       "http://e/写真"},
      {"malformed UTF-8 after byte-order mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=\xC0\xAF", ""},
      {"UTF-16LE", Utf16Bytes(u"[InternetShortcut]\r\nURL=http://e/写真😀\r\n", false),
       "http://e/写真😀"},
      {"UTF-16BE", Utf16Bytes(u"[InternetShortcut]\r\nURL=http://e/写真\r\n", true),
       "http://e/写真"},
      {"UTF-16 low surrogates at the start of their range",
       Utf16Bytes(u"[InternetShortcut]\nURL=http://e/\U00010000\U0001F400\U00020000", false),
       "http://e/\U00010000\U0001F400\U00020000"},
      {"UTF-16 with an odd byte", Utf16Bytes(u"[InternetShortcut]\nURL=a", false) + "x", ""},
      {"UTF-16 with a NUL character", Utf16Bytes(u"[InternetShortcut]\nURL=a\0b"s, false), ""},
      {"UTF-16 with a lone surrogate", Utf16Bytes(u"[InternetShortcut]\nURL=a\xD800", false), ""},
      {"Unicode twin wins",
       "[InternetShortcut]\r\nURL=http://e/??\r\n[InternetShortcut.W]\r\nURL=http://e/+UZl3Hw-\r\n",
       "http://e/写真"},
      {"Unicode twin first in the file",
       "[InternetShortcut.W]\nURL=http://+T4swSA.jp/+MNEwuQ?q=1\n[InternetShortcut]\nURL=x",
       "http://例え.jp/パス?q=1"},
      {"Unicode twin alone", "[internetshortcut.w]\nurl=http://e/a+-b", "http://e/a+b"},
      {"empty Unicode twin",
       "[InternetShortcut]\nURL=http://a/\n[InternetShortcut.W]\nURL=", "http://a/"},
      {"malformed Unicode twin", "[InternetShortcut]\nURL=http://a/\n[InternetShortcut.W]\nURL=+!",
       "http://a/"},
      // As the system's profile reader (GetPrivateProfileString) reads them.
      {"header without a closing bracket", "[InternetShortcut\r\nURL=http://a/\r\n", ""},
      {"... with url=", "[InternetShortcut\r\nurl=http://a/\r\n", ""},
      {"... with a blank before URL", "[InternetShortcut\r\n URL=http://a/\r\n", ""},
      {"... then a real header", "[InternetShortcut\r\n[InternetShortcut]\r\nURL=http://b/",
       "http://b/"},
      {"only the first section of a name",
       "[InternetShortcut]\r\n[InternetShortcut]\r\nURL=http://dup/", ""},
      {"... even with another between",
       "[InternetShortcut]\nX=1\n[Other]\n[InternetShortcut]\nURL=http://b/", ""},
      {"the name ends at the last bracket", "[InternetShortcut]]\nURL=http://a/", ""},
      {"text after the bracket", "[InternetShortcut] ;note\nURL=http://a/", "http://a/"},
      {"^Z before the line end", "[InternetShortcut]\r\nURL=http://a/\x1A\r\n", "http://a/"},
      {"^Z around names and value",
       "\x1A[\x1AInternetShortcut\x1A]\x1A\n\x1AURL\x1A=\x1Ahttp://a/\x1A\x1A", "http://a/"},
      {"^Z inside the value", "[InternetShortcut]\nURL=http://a\x1A/", "http://a\x1A/"},
      {"vertical tab and form feed around the value", "[InternetShortcut]\nURL=\vhttp://a/\f",
       "http://a/"},
      {"Unicode blanks are part of the value",
       "\xEF\xBB\xBF[InternetShortcut]\nURL=\u3000http://a/\u00A0", "\u3000http://a/\u00A0"},
      {"a URL line without = comes first", "[InternetShortcut]\nURL\nURL=http://a/", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ShortcutUrlFromBytes(c.bytes, DecodeLatin1), c.expected);
  }
}

// The scheme as a browser reads it from an href: controls and spaces in
// front dropped, tabs and line breaks anywhere dropped, any letter case.
// What a browser would not run links as it stands.
TEST(ShortcutTest, AddressesThatRunAScript) {
  const struct {
    std::string_view address;
    bool runs;
  } cases[] = {
      {"javascript:alert(document.cookie)", true},
      {"JaVaScRiPt:alert(1)", true},
      {"vbscript:msgbox(1)", true},
      {"VBScript:x", true},
      {"data:text/html,<script>alert(1)</script>", true},
      {"DATA:,x", true},
      {" \x01\x1F\x0C\x0B javascript:x", true},
      {"java\tscript:x", true},
      {"java\nscr\ript:x", true},
      {"\tjavascript\t:x", true},
      {"javascript:", true},
      // Ordinary addresses.
      {"http://e/", false},
      {"https://e/javascript:x", false},
      {"ftp://e/", false},
      {"mailto:a@e", false},
      {"file:///C:/a", false},
      {"img/a.jpg", false},
      {"../data:x", false},
      {"?javascript:x", false},
      {"#javascript:x", false},
      {"news:comp.lang", false},
      {"javascripts:x", false},
      {"jscript:x", false},
      {"java script:x", false},     // a blank inside is no scheme character
      {"java\x01script:x", false},  // nor a control
      {"javascript", false},
      {"\u00A0javascript:x", false},  // only ASCII blanks are dropped
      {"jav&#x61;script:x", false},   // written escaped: "&" is no scheme character
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "address '" << c.address << "'");
    EXPECT_EQ(RunsAsScript(c.address), c.runs);
  }
}

TEST(ShortcutTest, Utf7) {
  const struct {
    std::string_view utf7;
    std::optional<std::string_view> expected;
  } cases[] = {
      {"http://e/", "http://e/"},    {"+-", "+"},
      {"A+ImIDkQ.", "A≢Α."},         {"Hi Mom -+Jjo--!", "Hi Mom -☺-!"},
      {"+ZeVnLIqe-", "日本語"},      {"+2D3eAA-", "😀"},
      {"+2ADcAA-", "\U00010000"},    {"+2D3cAA-", "\U0001F400"},
      {"+2EDcAA-", "\U00020000"},    {"+2//f/w-", "\U0010FFFF"},
      {"+ZeVnLIqe", "日本語"},       {"a+", std::nullopt},
      {"a+!", std::nullopt},         {"+2D3eAB-", std::nullopt},  // left-over bits not zero
      {"+AAA-", std::nullopt},                                    // U+0000
      {"+ZeVnLIqeA-", std::nullopt},                              // a whole digit left over
      {"+2D0-", std::nullopt},                                    // high surrogate alone
      {"+3gA-", std::nullopt},                                    // low surrogate alone
      {"caf\xC3\xA9", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "UTF-7 '" << c.utf7 << "'");
    EXPECT_EQ(DecodeUtf7(c.utf7), c.expected);
  }
}

// Any contents, up to the size the caller reads, give an address or the empty
// text in time linear in their size.
TEST(ShortcutTest, ArbitraryContents) {
  const std::string lines(kMaxShortcutFileBytes, '\n');
  const std::string brackets(kMaxShortcutFileBytes, '[');
  const std::string longTwin =
      "[InternetShortcut.W]\nURL=+" + std::string(kMaxShortcutFileBytes, 'B') + "-";
  const std::string manyKeys = [] {
    std::string text = "[InternetShortcut]\n";
    while (text.size() < kMaxShortcutFileBytes) text += "X=1\n";
    return text + "URL=http://e/";
  }();
  for (const std::string& bytes : {lines, brackets, manyKeys, longTwin}) {
    ShortcutUrlFromBytes(bytes, DecodeLatin1);
    ShortcutUrlFromBytes(bytes, {});
  }
  EXPECT_EQ(ShortcutUrlFromBytes(manyKeys, DecodeLatin1), "http://e/");
}

}  // namespace
}  // namespace tervane
