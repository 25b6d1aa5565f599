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
  };
  const std::string sjis = "\x93\xFA\x96\x7B";
  const std::vector<Case> cases = {
      {"\xEF\xBB\xBF<meta charset=shift_jis>" + sjis, Charset::kUtf8, 3},
      {"<meta charset=\"Shift_JIS\">", Charset::kCp932, 0},
      {"<META CHARSET='EUC-JP'>", Charset::kEucJp, 0},
      {"<meta charset=windows-31j />", Charset::kCp932, 0},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">", Charset::kEucJp,
       0},
      {"<meta content='text/html;charset = \"x-sjis\"' http-equiv=content-type>", Charset::kCp932,
       0},
      // content without the http-equiv pragma declares nothing
      {"<meta content=\"text/html; charset=euc-jp\">" + sjis, Charset::kCp932, 0},
      // a comment, an attribute value and a closing tag hide declarations
      {"<!-- <meta charset=euc-jp> --><meta charset=shift_jis>", Charset::kCp932, 0},
      {"<!-- a > b <meta charset=euc-jp> --><meta charset=shift_jis>", Charset::kCp932, 0},
      {"<!--><meta charset=euc-jp>", Charset::kEucJp, 0},
      {"<div title=\"<meta charset=euc-jp>\"></div>日本", Charset::kUtf8, 0},
      {"</x <meta charset=euc-jp>>日本", Charset::kUtf8, 0},
      // the first declaration wins; an unknown label is passed by
      {"<meta charset=euc-jp><meta charset=shift_jis>", Charset::kEucJp, 0},
      {"<meta charset=euc-jp charset=shift_jis>", Charset::kEucJp, 0},
      {"<meta charset=nonsense><meta charset=euc-jp>", Charset::kEucJp, 0},
      {"<meta charset=\"utf-16\">" + sjis, Charset::kUtf8, 0},
      // only the first 1024 bytes are scanned
      {std::string(1000, ' ') + "<meta charset=euc-jp>", Charset::kEucJp, 0},
      {std::string(1010, ' ') + "<meta charset=euc-jp>", Charset::kUtf8, 0},
      {std::string(1010, ' ') + "<meta charset=euc-jp>" + sjis, Charset::kCp932, 0},
      // undeclared
      {"<p>日本</p>", Charset::kUtf8, 0},
      {"<p>" + sjis + "</p>", Charset::kCp932, 0},
      {"", Charset::kUtf8, 0},
  };
  for (const Case& c : cases) {
    const PageEncoding encoding = DetectPageEncoding(c.bytes);
    EXPECT_EQ(encoding.charset, c.charset) << testing::PrintToString(c.bytes);
    EXPECT_EQ(encoding.bomLength, c.bomLength) << testing::PrintToString(c.bytes);
  }
}

TEST(PageCharsetTest, RefusesEncodingsItCannotWrite) {
  const std::vector<std::string> pages = {
      std::string("\xFF\xFE<\0h\0", 6),
      std::string("\xFE\xFF\0<\0h", 6),
      std::string("<\0?\0x\0m\0l\0", 10),
      "<meta charset=iso-8859-1>",
      "<meta http-equiv=content-type content='text/html; charset=Big5'>",
      "<meta charset=iso-2022-jp>",
  };
  for (const std::string& page : pages) {
    EXPECT_THROW(DetectPageEncoding(page), Error) << testing::PrintToString(page);
  }
}

}  // namespace
}  // namespace tervane
