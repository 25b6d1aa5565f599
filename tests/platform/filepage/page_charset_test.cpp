#include "addin/platform/filepage/page_charset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/platform/error.h"

namespace tervane {
namespace {

TEST(PageCharsetTest, FindsTheEncodingAsBrowsersDo) {
  struct Case {
    std::string bytes;
    Charset charset;
    std::size_t bomLength;
    bool declared = true;
  };
  const std::string sjis = "\x93\xFA\x96\x7B";
  // こんにちは、 in each: kana tell the two Japanese encodings apart.
  const std::string eucKana = "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF\xA1\xA2";
  const std::string sjisKana = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81\x41";
  const std::vector<Case> cases = {
      {"\xEF\xBB\xBF<meta charset=shift_jis>" + sjis, Charset::kUtf8, 3},
      {std::string("\xFF\xFE<\0h\0", 6), Charset::kUtf16Le, 2},
      {std::string("\xFE\xFF\0<\0h", 6), Charset::kUtf16Be, 2},
      {"\xFF\xFE<meta charset=shift_jis>", Charset::kUtf16Le, 2},
      {"<meta charset=\"Shift_JIS\">", Charset::kCp932, 0},
      {"<META CHARSET='EUC-JP'>", Charset::kEucJp, 0},
      {"<meta charset=windows-31j />", Charset::kCp932, 0},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">", Charset::kEucJp,
       0},
      {"<meta content='text/html;charset = \"x-sjis\"' http-equiv=content-type>", Charset::kCp932,
       0},
      // every label of every encoding browsers read
      {"<meta charset=iso-8859-1>caf\xE9", Charset::kWindows1252, 0},
      {"<meta charset=US-ASCII>", Charset::kWindows1252, 0},
      {"<meta charset=latin2>", Charset::kIso8859_2, 0},
      {"<meta http-equiv=content-type content='text/html; charset=Big5'>", Charset::kBig5, 0},
      {"<meta charset=ks_c_5601-1987>", Charset::kEucKr, 0},
      {"<meta charset=gb2312>", Charset::kGbk, 0},
      {"<meta charset=x-user-defined>", Charset::kWindows1252, 0},
      // content without the http-equiv pragma declares nothing
      {"<meta content=\"text/html; charset=euc-jp\">" + sjisKana, Charset::kCp932, 0, false},
      // a comment, an attribute value and a closing tag hide declarations
      {"<!-- <meta charset=euc-jp> --><meta charset=shift_jis>", Charset::kCp932, 0},
      {"<!-- a > b <meta charset=euc-jp> --><meta charset=shift_jis>", Charset::kCp932, 0},
      {"<!--><meta charset=euc-jp>", Charset::kEucJp, 0},
      {"<div title=\"<meta charset=euc-jp>\"></div>日本", Charset::kUtf8, 0, false},
      {"</x <meta charset=euc-jp>>日本", Charset::kUtf8, 0, false},
      // the first declaration wins; an unknown label is passed by
      {"<meta charset=euc-jp><meta charset=shift_jis>", Charset::kEucJp, 0},
      {"<meta charset=euc-jp charset=shift_jis>", Charset::kEucJp, 0},
      {"<meta charset=nonsense><meta charset=euc-jp>", Charset::kEucJp, 0},
      {"<meta charset=\"utf-16\">" + sjis, Charset::kUtf8, 0},
      // only the first 1024 bytes are scanned
      {std::string(1000, ' ') + "<meta charset=euc-jp>", Charset::kEucJp, 0},
      {std::string(1010, ' ') + "<meta charset=euc-jp>", Charset::kWindows1252, 0, false},
      {std::string(1010, ' ') + "<meta charset=euc-jp>" + eucKana, Charset::kEucJp, 0, false},
      // undeclared: UTF-8 with a character outside ASCII, then Japanese
      // told by its kana, then windows-1252
      {"<p>日本</p>", Charset::kUtf8, 0, false},
      {"<p>" + eucKana + "</p>", Charset::kEucJp, 0, false},
      {"<p>" + sjisKana + "</p>", Charset::kCp932, 0, false},
      {"<p>" + sjisKana + sjisKana + "\x80" + sjis + "</p>", Charset::kCp932, 0, false},
      {"<p>r\xE9sum\xE9 na\xEFve \xC4rger \xA9 \xBD</p>", Charset::kWindows1252, 0, false},
      {"<p>" + sjis + "</p>", Charset::kWindows1252, 0, false},
      {"<p>plain</p>", Charset::kWindows1252, 0, false},
      {"", Charset::kWindows1252, 0, false},
  };
  for (const Case& c : cases) {
    const PageEncoding encoding = DetectPageEncoding(c.bytes);
    EXPECT_EQ(CharsetName(encoding.charset), CharsetName(c.charset))
        << testing::PrintToString(c.bytes);
    EXPECT_EQ(encoding.bomLength, c.bomLength) << testing::PrintToString(c.bytes);
    EXPECT_EQ(encoding.declared, c.declared) << testing::PrintToString(c.bytes);
  }
}

TEST(PageCharsetTest, RefusesEncodingsItCannotWrite) {
  const std::vector<std::string> pages = {
      "<meta charset=iso-2022-jp>",
      "<meta http-equiv=content-type content='text/html; charset=hz-gb-2312'>",
  };
  for (const std::string& page : pages) {
    EXPECT_THROW(DetectPageEncoding(page), Error) << testing::PrintToString(page);
  }
}

TEST(PageCharsetTest, WritesWhatTheEncodingCannotHoldSoThatAnyBrowserReadsIt) {
  struct Case {
    PageEncoding encoding;
    std::string markup;
    std::string bytes;
  };
  const PageEncoding sjis{Charset::kCp932, 0, true};
  const PageEncoding undeclaredSjis{Charset::kCp932, 0, false};
  const PageEncoding latin1{Charset::kWindows1252, 0, true};
  const std::vector<Case> cases = {
      {sjis, "<a href=\"img/写真.jpg\">写真.jpg</a><br>",
       "<a href=\"img/\x8E\xCA\x90\x5E.jpg\">\x8E\xCA\x90\x5E.jpg</a><br>"},
      {sjis, "<a href=\"img/café.jpg\">café.jpg</a><br>",
       "<a href=\"img/caf%C3%A9.jpg\">caf&#233;.jpg</a><br>"},
      {sjis, "<img src='☃.gif' alt=\"☃ 写\">",
       "<img src='%E2%98%83.gif' alt=\"&#9731; \x8E\xCA\">"},
      {sjis, "<IMG SRC=é.gif>", "<IMG SRC=%C3%A9.gif>"},
      {sjis, "<P>Unknown: \"é.url\"</p>", "<P>Unknown: \"&#233;.url\"</p>"},
      {sjis, "<!-- tervane folder=\"é\" -->", "<!-- tervane folder=\"&#233;\" -->"},
      {latin1, "<a href=\"café 😀.jpg\">", "<a href=\"caf\xE9 %F0%9F%98%80.jpg\">"},
      {undeclaredSjis, "<a href=\"写真.jpg\">写</a>",
       "<a href=\"%E5%86%99%E7%9C%9F.jpg\">&#20889;</a>"},
      {{Charset::kUtf16Le, 2, true}, "<b>é</b>", std::string("<\0b\0>\0\xE9\0<\0/\0b\0>\0", 16)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeForPage(c.encoding, c.markup), c.bytes)
        << CharsetName(c.encoding.charset) << " " << c.markup;
  }
  EXPECT_THROW(EncodeForPage(sjis, "\xFF"), Error);
}

TEST(PageCharsetTest, ReadsBackTheAddressesItWrites) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"img/caf%C3%A9.jpg", "img/café.jpg"},
      {"%E5%86%99%e7%9c%9f.jpg", "写真.jpg"},
      {"a%20b.jpg", "a%20b.jpg"},
      {"100%.jpg", "100%.jpg"},
      {"%C3.jpg", "%C3.jpg"},
      {"%E5%86.jpg", "%E5%86.jpg"},
      {"x%C3%A9%", "xé%"},
      {"%C2%93%C3%A9%EF%B7%90", "%C2%93é%EF%B7%90"},  // a C1 control and a noncharacter stay
  };
  for (const auto& [href, read] : cases) EXPECT_EQ(AddressAsRead(href), read) << href;
}

}  // namespace
}  // namespace tervane
