#include "addin/platform/codec/text_codec.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "addin/platform/codec/lenient_decode.h"

namespace tervane {
namespace {

// Windows reads and writes through its code pages, which differ from glibc's
// tables in a few places (and agree with browsers on the 0x80 byte).
#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

TEST(TextCodecTest, LabelsNameTheirCharset) {
  struct Case {
    std::string label;
    std::optional<Charset> charset;
  };
  const std::vector<Case> cases = {
      {"utf-8", Charset::kUtf8},
      {"UTF8", Charset::kUtf8},
      {"unicode-1-1-utf-8", Charset::kUtf8},
      {" \tShift_JIS\r\n", Charset::kCp932},
      {"shift-jis", Charset::kCp932},
      {"SJIS", Charset::kCp932},
      {"windows-31j", Charset::kCp932},
      {"MS_Kanji", Charset::kCp932},
      {"ms932", Charset::kCp932},
      {"cp932", Charset::kCp932},
      {"x-sjis", Charset::kCp932},
      {"csShiftJIS", Charset::kCp932},
      {"EUC-JP", Charset::kEucJp},
      {"x-euc-jp", Charset::kEucJp},
      {"cseucpkdfmtjapanese", Charset::kEucJp},
      {"iso-8859-1", std::nullopt},
      {"utf-16", std::nullopt},
      {"iso-2022-jp", std::nullopt},
      {"shift jis", std::nullopt},
      {"euc-jp-ms", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CharsetFromLabel(c.label), c.charset) << "label: \"" << c.label << "\"";
  }
  EXPECT_EQ(CharsetName(Charset::kUtf8), "UTF-8");
  EXPECT_EQ(CharsetName(Charset::kCp932), "Shift_JIS");
  EXPECT_EQ(CharsetName(Charset::kEucJp), "EUC-JP");
}

TEST(TextCodecTest, RecognisesWellFormedUtf8) {
  struct Case {
    std::string bytes;
    bool valid;
  };
  const std::vector<Case> cases = {
      {"", true},
      {"plain ascii", true},
      {"日本語 é", true},
      {"\xF0\x9F\x98\x80", true},   // U+1F600
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\x80", false},              // continuation byte alone
      {"\xC0\xAF", false},          // overlong "/"
      {"\xE0\x80\xAF", false},      // overlong "/"
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE6\x97", false},          // cut short
      {"abc\xFF", false},
      {"\x93\xFA\x96\x7B", false},  // Shift_JIS bytes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << "bytes: " << testing::PrintToString(c.bytes);
  }
}

TEST(TextCodecTest, DecodesOnlyValidText) {
  struct Case {
    Charset charset;
    std::string bytes;
    std::optional<std::string> text;
  };
  const std::vector<Case> cases = {
      {Charset::kCp932, "\x93\xFA\x96\x7B.jpg", "日本.jpg"},
      {Charset::kCp932, "\x95\x5C\x83\x5C", "表ソ"},  // trail bytes equal to "\"
      {Charset::kCp932, "\\~", "\\~"},
      {Charset::kCp932, "\xB1", "ｱ"},
      {Charset::kCp932, "\x87\x40", "①"},             // a Windows extension
      {Charset::kCp932, "\xFA\xB1\xED\x95", "﨑﨑"},  // IBM and NEC-selected copies
      {Charset::kCp932, "\xFB\xFC\xEE\xE0\xFC\x4B", "髙髙黑"},
      {Charset::kCp932, "\xFC\x4C", std::nullopt},
      {Charset::kCp932, "\x93", std::nullopt},
      {Charset::kCp932, "a\x80", kWindows ? std::optional<std::string>("a\u0080") : std::nullopt},
      {Charset::kCp932, "\x81\x20", std::nullopt},
      {Charset::kEucJp, "\xC6\xFC\xCB\xDC", "日本"},
      {Charset::kEucJp, "\x8E\xB1", "ｱ"},
      {Charset::kEucJp, "\x8F\xB0\xA1", kWindows ? std::nullopt : std::optional<std::string>("丂")},
      {Charset::kEucJp, "\xAB\x31", std::nullopt},
      {Charset::kEucJp, "\xC6", std::nullopt},
      {Charset::kUtf8, "日本", "日本"},
      {Charset::kUtf8, "\xFF", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeStrict(c.charset, c.bytes), c.text)
        << CharsetName(c.charset) << " bytes: " << testing::PrintToString(c.bytes);
  }
}

TEST(TextCodecTest, EncodesOnlyWhatReadsBackUnchanged) {
  struct Case {
    Charset charset;
    std::string text;
    std::optional<std::string> bytes;
  };
  const std::vector<Case> cases = {
      {Charset::kCp932, "<a href=\"写真.jpg\">", "<a href=\"\x8E\xCA\x90\x5E.jpg\">"},
      {Charset::kCp932, "①～", "\x87\x40\x81\x60"},
      {Charset::kCp932, "﨑髙黑", "\xFA\xB1\xFB\xFC\xFC\x4B"},  // IBM copies, as Windows writes
      {Charset::kCp932, "é", std::nullopt},
      {Charset::kCp932, "😀", std::nullopt},
      {Charset::kCp932, "¥", std::nullopt},   // would read back as "\"
      {Charset::kCp932, "〜", std::nullopt},  // would read back as "～"
      {Charset::kCp932, "\xFF", std::nullopt},
      {Charset::kEucJp, "日本.jpg", "\xC6\xFC\xCB\xDC.jpg"},
      {Charset::kEucJp, "é", kWindows ? std::nullopt : std::optional<std::string>("\x8F\xAB\xB1")},
      {Charset::kEucJp, "①", std::nullopt},
      {Charset::kUtf8, "é😀", "é😀"},
      {Charset::kUtf8, "\xC0\xAF", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode(c.charset, c.text), c.bytes) << CharsetName(c.charset) << " text: " << c.text;
  }
}

// Pages are read whatever bytes they hold. The decoded text, and the way back
// from a place in it to the bytes, must agree at every character.
TEST(TextCodecTest, DecodesAnyBytesAndFindsTheirSourceAgain) {
  const std::string r = "\uFFFD";
  struct Case {
    Charset charset;
    std::string bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {Charset::kUtf8,
       "a\xFF"
       "b",
       "a" + r + "b"},
      {Charset::kUtf8,
       "\xE6\x97"
       "b",
       r + "b"},                                       // cut short: one replacement
      {Charset::kUtf8, "\xE6\x97", r},                 // cut short by the end
      {Charset::kUtf8, "\xF0\x9F\x98", r},             // as browsers do
      {Charset::kUtf8, "\xED\xA0\x80", r + r + r},     // a surrogate: each byte
      {Charset::kUtf8, "\xC0\xAF", r + r},             // overlong
      {Charset::kUtf8, "\xE6\x97\xA5\x80", "日" + r},  // a stray continuation byte
      {Charset::kCp932, "\x93\xFA\x93", "日" + r},
      {Charset::kCp932,
       "a\x81\x20"
       "b",
       "a" + r + " b"},
      {Charset::kEucJp, "\xC6\xFC\xC6", "日" + r},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(CharsetName(c.charset)) + " " + testing::PrintToString(c.bytes));
    const std::string text = DecodeLenient(c.charset, c.bytes);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(LenientSourceLength(c.charset, c.bytes, text.size()), c.bytes.size());
    // Up to the last character, the bytes that make the text before it.
    const std::size_t last = text.size() - (text.ends_with(r) ? r.size() : 1);
    const std::size_t source = LenientSourceLength(c.charset, c.bytes, last);
    EXPECT_EQ(DecodeLenient(c.charset, std::string_view(c.bytes).substr(0, source)),
              text.substr(0, last));
  }
}

}  // namespace
}  // namespace tervane
