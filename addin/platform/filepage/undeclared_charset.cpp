#include "addin/platform/filepage/undeclared_charset.h"

#include <cstddef>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/lenient_decode.h"

namespace tervane {

namespace {

struct JapaneseScore {
  std::size_t kana = 0;     // hiragana, full-width katakana, 、 and 。
  std::size_t invalid = 0;  // bytes that start no character
};

JapaneseScore ScoreAs(Charset charset, std::string_view bytes) {
  const std::string text = DecodeLenient(charset, bytes);
  JapaneseScore score;
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Step step = NextUtf8(text, pos);
    if (step.valid && step.length == 3) {
      char32_t c = static_cast<unsigned char>(text[pos]) & 0x0F;
      c = (c << 6) | (static_cast<unsigned char>(text[pos + 1]) & 0x3F);
      c = (c << 6) | (static_cast<unsigned char>(text[pos + 2]) & 0x3F);
      if (c == 0xFFFD) ++score.invalid;
      if ((c >= 0x3041 && c <= 0x30FA) || c == 0x3001 || c == 0x3002) ++score.kana;
    }
    pos += step.length;
  }
  return score;
}

// How much a reading looks like Japanese text; 0 when it does not. A stray
// invalid byte is forgiven in a page full of kana.
std::size_t Likelihood(const JapaneseScore& score) {
  const std::size_t penalty = score.invalid * 8;
  return score.kana > penalty ? score.kana - penalty : 0;
}

}  // namespace

Charset GuessUndeclaredCharset(std::string_view bytes) {
  bool ascii = true;
  for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii && IsValidUtf8(bytes)) return Charset::kUtf8;
  if (!ascii) {
    const std::size_t eucJp = Likelihood(ScoreAs(Charset::kEucJp, bytes));
    const std::size_t shiftJis = Likelihood(ScoreAs(Charset::kCp932, bytes));
    if (eucJp > 0 && eucJp >= shiftJis) return Charset::kEucJp;
    if (shiftJis > 0) return Charset::kCp932;
  }
  return Charset::kWindows1252;
}

}  // namespace tervane
