#include "addin/platform/codec/lenient_decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tervane {
namespace {

struct Case {
  Charset charset;
  std::string bytes;
  std::string text;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {Charset::kUtf8, "caf\xC3\xA9", "café"},
      {Charset::kUtf8, "a\xFF\xFE<b", "a\uFFFD\uFFFD<b"},
      {Charset::kUtf8, "\xE6\x97<", "\uFFFD\uFFFD<"},
      {Charset::kCp932, "\x93\xFA\x96\x7B<p>", "日本<p>"},
      {Charset::kCp932, "\x81<a\x80\xFD\x95\x5C", "\uFFFD<a\uFFFD\uFFFD表"},
      {Charset::kCp932, "x\x93", "x\uFFFD"},
      {Charset::kEucJp, "\xC6\xFC<\xC6<\x8F\xB0\xA1", "日<\uFFFD<丂"},
      {Charset::kEucJp, "", ""},
  };
  return cases;
}

TEST(LenientDecodeTest, ReplacesEachByteThatStartsNoCharacter) {
  for (const Case& c : Cases()) {
    EXPECT_EQ(DecodeLenient(c.charset, c.bytes), c.text)
        << CharsetName(c.charset) << " bytes: " << testing::PrintToString(c.bytes);
  }
}

// Every character boundary of the decoded text maps back to the byte where
// the rest of the text begins.
TEST(LenientDecodeTest, MapsDecodedPlacesBackToBytes) {
  for (const Case& c : Cases()) {
    for (std::size_t place = 0; place <= c.text.size(); ++place) {
      if (place < c.text.size() && (static_cast<unsigned char>(c.text[place]) & 0xC0) == 0x80) {
        continue;
      }
      const std::size_t source = LenientSourceLength(c.charset, c.bytes, place);
      const std::string_view bytes = c.bytes;
      EXPECT_EQ(DecodeLenient(c.charset, bytes.substr(0, source)), c.text.substr(0, place))
          << CharsetName(c.charset) << " bytes: " << testing::PrintToString(c.bytes)
          << " place: " << place;
      EXPECT_EQ(DecodeLenient(c.charset, bytes.substr(source)), c.text.substr(place))
          << CharsetName(c.charset) << " bytes: " << testing::PrintToString(c.bytes)
          << " place: " << place;
    }
  }
}

}  // namespace
}  // namespace tervane
