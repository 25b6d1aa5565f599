#include "addin/platform/codec/text_codec.h"

#include <array>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/charset_converter.h"

namespace tervane {

namespace {

struct Label {
  std::string_view label;
  Charset charset;
};

// The labels browsers accept for the three encodings; every Shift_JIS label
// means code page 932, which "cp932" names as well.
constexpr std::array kLabels = {
    Label{"unicode-1-1-utf-8", Charset::kUtf8},
    Label{"unicode11utf8", Charset::kUtf8},
    Label{"unicode20utf8", Charset::kUtf8},
    Label{"utf-8", Charset::kUtf8},
    Label{"utf8", Charset::kUtf8},
    Label{"x-unicode20utf8", Charset::kUtf8},
    Label{"csshiftjis", Charset::kCp932},
    Label{"ms932", Charset::kCp932},
    Label{"ms_kanji", Charset::kCp932},
    Label{"shift-jis", Charset::kCp932},
    Label{"shift_jis", Charset::kCp932},
    Label{"sjis", Charset::kCp932},
    Label{"windows-31j", Charset::kCp932},
    Label{"x-sjis", Charset::kCp932},
    Label{"cp932", Charset::kCp932},
    Label{"cseucpkdfmtjapanese", Charset::kEucJp},
    Label{"euc-jp", Charset::kEucJp},
    Label{"x-euc-jp", Charset::kEucJp},
};

bool IsAsciiWhitespace(char c) {
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view lowerB) {
  if (a.size() != lowerB.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerB[i]) return false;
  }
  return true;
}

// The whole of `bytes` converted, or nullopt at the first invalid input.
std::optional<std::string> ConvertAll(Charset charset, CharsetConverter::Direction direction,
                                      std::string_view bytes) {
  CharsetConverter converter(charset, direction);
  std::string out;
  out.resize(bytes.size() + bytes.size() / 2 + 16);
  std::size_t used = 0;
  for (;;) {
    std::size_t written = 0;
    const auto stop = converter.Convert(bytes, out.data() + used, out.size() - used, written);
    used += written;
    if (stop == CharsetConverter::Stop::kDone) break;
    if (stop == CharsetConverter::Stop::kInvalidInput) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

}  // namespace

std::string_view CharsetName(Charset charset) {
  switch (charset) {
    case Charset::kCp932:
      return "Shift_JIS";
    case Charset::kEucJp:
      return "EUC-JP";
    case Charset::kUtf8:
      break;
  }
  return "UTF-8";
}

std::optional<Charset> CharsetFromLabel(std::string_view label) {
  while (!label.empty() && IsAsciiWhitespace(label.front())) label.remove_prefix(1);
  while (!label.empty() && IsAsciiWhitespace(label.back())) label.remove_suffix(1);
  for (const Label& known : kLabels) {
    if (EqualsIgnoringAsciiCase(label, known.label)) return known.charset;
  }
  return std::nullopt;
}

std::optional<std::string> DecodeStrict(Charset charset, std::string_view bytes) {
  if (charset == Charset::kUtf8) {
    if (!IsValidUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  return ConvertAll(charset, CharsetConverter::Direction::kDecode, bytes);
}

std::optional<std::string> Encode(Charset charset, std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  if (charset == Charset::kUtf8) return std::string(utf8);
  auto encoded = ConvertAll(charset, CharsetConverter::Direction::kEncode, utf8);
  if (!encoded) return std::nullopt;
  // The system may write a few characters as their look-alikes (glibc writes
  // U+00A5 as the backslash byte, U+301C as the byte pair that reads back as
  // U+FF5E).
  // Such a character cannot be written: what a reader finds is another one.
  if (DecodeStrict(charset, *encoded) != utf8) return std::nullopt;
  return encoded;
}

}  // namespace tervane
