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
      {"iso-8859-1", Charset::kWindows1252},
      {"US-ASCII", Charset::kWindows1252},
      {"latin2", Charset::kIso8859_2},
      {"ks_c_5601-1987", Charset::kEucKr},
      {"GB2312", Charset::kGbk},
      {"big5-hkscs", Charset::kBig5},
      {"utf-16", Charset::kUtf16Le},
      {"unicodeFFFE", Charset::kUtf16Be},
      {"iso-2022-jp", Charset::kIso2022Jp},
      {"iso-2022-kr", Charset::kReplacement},
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
  EXPECT_EQ(CharsetName(Charset::kWindows1252), "windows-1252");
  EXPECT_EQ(CharsetName(Charset::kUtf16Le), "UTF-16LE");
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
      {Charset::kWindows1252, "caf\xE9 \x80", "café €"},
      {Charset::kIso8859_2, "\xB1", "ą"},
      {Charset::kWindows1258, "A\xEC", "A\u0301"},  // a combining mark stays apart
      {Charset::kEucKr, "\xC7\xD1", "한"},
      {Charset::kGbk, "\xD6\xD0", "中"},
      {Charset::kGb18030, "\xD6\xD0", "中"},
      {Charset::kBig5, "\xA4\xA4", "中"},
      {Charset::kUtf16Le, std::string("a\0\x3D\xD8\x00\xDE", 6), "a😀"},
      {Charset::kUtf16Be, std::string("\0a", 2), "a"},
      {Charset::kUtf16Le, std::string("\x00\xD8", 2), std::nullopt},  // a lone surrogate
      {Charset::kUtf16Le, "a", std::nullopt},
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
      {Charset::kEucJp, "é", std::nullopt},  // JIS X 0212, which browsers do not write
      {Charset::kEucJp, "①", std::nullopt},
      {Charset::kUtf8, "é😀", "é😀"},
      {Charset::kUtf8, "\xC0\xAF", std::nullopt},
      {Charset::kWindows1252, "café €", "caf\xE9 \x80"},
      {Charset::kWindows1252, "写", std::nullopt},
      {Charset::kIso8859_2, "ą", "\xB1"},
      {Charset::kIso8859_2, "é☃", std::nullopt},
      {Charset::kEucKr, "한", "\xC7\xD1"},
      {Charset::kGb18030, "中é", "\xD6\xD0\xA8\xA6"},
      {Charset::kGb18030, "☃", std::nullopt},  // four bytes, which not every Windows writes
      {Charset::kBig5, "中", "\xA4\xA4"},
      {Charset::kBig5, "é", std::nullopt},  // a Hong Kong extension, which browsers do not write
      {Charset::kUtf16Be, "é", std::string("\0\xE9", 2)},
      {Charset::kUtf16Le, "😀", std::string("\x3D\xD8\x00\xDE", 4)},
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
      {Charset::kUtf16Le,
       std::string("a\0\x00\xD8"
                   "b\0",
                   6),
       "a" + r + "b"},
      {Charset::kUtf16Be, std::string("\0a\0", 3), "a" + r},
      {Charset::kWindows1258,
       "A\xEC"
       "b",
       "A\u0301b"},
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
