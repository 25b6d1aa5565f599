// The Windows side of CharsetConverter: the system's code pages, one
// character at a time, so that a conversion stops exactly where the input
// stops being valid or the output runs out of room. EUC-JP is code page
// 20932, which holds JIS X 0208 and half-width katakana as EUC-JP does, but
// writes JIS X 0212 as two bytes of its own instead of EUC-JP's three: only
// the sequences of EUC-JP proper are read and written, so JIS X 0212
// characters are neither. UTF-16 is converted here, as no code page of the
// multi-byte functions holds it.
#include <windows.h>

#include <string>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/charset_converter.h"
#include "addin/platform/error.h"

namespace tervane {

namespace {

constexpr UINT kNoCodePage = 0;
constexpr UINT kUtf16Be = 1201;
constexpr UINT kUtf16Le = 1200;
constexpr UINT kGb18030 = 54936;
constexpr UINT kEucJp = 20932;

UINT CodePage(Charset charset) {
  switch (charset) {
    case Charset::kUtf8:
      return CP_UTF8;
    case Charset::kIbm866:
      return 866;
    case Charset::kIso8859_2:
      return 28592;
    case Charset::kIso8859_3:
      return 28593;
    case Charset::kIso8859_4:
      return 28594;
    case Charset::kIso8859_5:
      return 28595;
    case Charset::kIso8859_6:
      return 28596;
    case Charset::kIso8859_7:
      return 28597;
    case Charset::kIso8859_8:
    case Charset::kIso8859_8I:
      return 28598;
    case Charset::kIso8859_10:
      return 28600;
    case Charset::kIso8859_13:
      return 28603;
    case Charset::kIso8859_14:
      return 28604;
    case Charset::kIso8859_15:
      return 28605;
    case Charset::kIso8859_16:
      return 28606;
    case Charset::kKoi8R:
      return 20866;
    case Charset::kKoi8U:
      return 21866;
    case Charset::kMacintosh:
      return 10000;
    case Charset::kWindows874:
      return 874;
    case Charset::kWindows1250:
      return 1250;
    case Charset::kWindows1251:
      return 1251;
    case Charset::kWindows1252:
      return 1252;
    case Charset::kWindows1253:
      return 1253;
    case Charset::kWindows1254:
      return 1254;
    case Charset::kWindows1255:
      return 1255;
    case Charset::kWindows1256:
      return 1256;
    case Charset::kWindows1257:
      return 1257;
    case Charset::kWindows1258:
      return 1258;
    case Charset::kXMacCyrillic:
      return 10017;
    case Charset::kGbk:
      return 936;
    case Charset::kGb18030:
      return kGb18030;
    case Charset::kBig5:
      return 950;
    case Charset::kEucJp:
      return kEucJp;
    case Charset::kCp932:
      return 932;
    case Charset::kEucKr:
      return 949;
    case Charset::kUtf16Be:
      return kUtf16Be;
    case Charset::kUtf16Le:
      return kUtf16Le;
    case Charset::kIso2022Jp:
    case Charset::kReplacement:
    case Charset::kXUserDefined:
      break;
  }
  return kNoCodePage;
}

bool InRange(char c, unsigned char low, unsigned char high) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= low && byte <= high;
}

// How many bytes the character at the front of `input` takes in the code
// page (its first byte being 0x80 or above).
std::size_t EncodedLength(UINT codePage, std::string_view input) {
  const auto lead = static_cast<unsigned char>(input[0]);
  if (codePage == kEucJp) return lead == 0x8E || (lead >= 0xA1 && lead <= 0xFE) ? 2 : 1;
  if (codePage == kGb18030) {
    if (lead < 0x81 || lead > 0xFE) return 1;
    return input.size() > 1 && InRange(input[1], 0x30, 0x39) ? 4 : 2;
  }
  return ::IsDBCSLeadByteEx(codePage, lead) ? 2 : 1;
}

// Whether `bytes`, one character, is a JIS X 0208 or half-width katakana
// sequence of EUC-JP.
bool IsEucJpSequence(std::string_view bytes) {
  if (bytes.size() == 1) return InRange(bytes[0], 0x00, 0x7F);
  if (bytes.size() != 2) return false;
  if (InRange(bytes[0], 0x8E, 0x8E)) return InRange(bytes[1], 0xA1, 0xDF);
  return InRange(bytes[0], 0xA1, 0xFE) && InRange(bytes[1], 0xA1, 0xFE);
}

// UTF-16 to UTF-8; false for a lone surrogate.
bool Utf16ToUtf8(const char16_t* units, std::size_t count, std::string& out) {
  for (std::size_t i = 0; i < count; ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
      const char32_t low = units[i + 1];
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return false;
    }
    AppendUtf8(c, out);
  }
  return true;
}

// The UTF-16 units of the UTF-8 character at the front of `input`; empty
// when it is not valid.
std::u16string Utf8CharToUtf16(std::string_view input, std::size_t length) {
  wchar_t wide[2];
  const int count = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, input.data(),
                                          static_cast<int>(length), wide, 2);
  std::u16string units;
  for (int i = 0; i < count; ++i) units += static_cast<char16_t>(wide[i]);
  return units;
}

}  // namespace

struct CharsetConverter::State {
  UINT codePage = CP_UTF8;
  Direction direction = Direction::kDecode;
  std::string character;  // the current character's output, reused

  bool IsUtf16() const { return codePage == kUtf16Le || codePage == kUtf16Be; }

  char16_t Unit(std::string_view bytes, std::size_t at) const {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(codePage == kUtf16Le ? first | second << 8 : first << 8 | second);
  }

  // Converts the character at the front of `input` into `character`;
  // returns the bytes it takes, 0 when it is invalid or cannot be written.
  std::size_t Decode(std::string_view input) {
    character.clear();
    if (IsUtf16()) {
      if (input.size() < 2) return 0;
      char16_t units[2] = {Unit(input, 0), 0};
      std::size_t count = 1;
      if (units[0] >= 0xD800 && units[0] <= 0xDBFF && input.size() >= 4) {
        units[1] = Unit(input, 2);
        count = 2;
      }
      if (!Utf16ToUtf8(units, count, character)) return 0;
      return count * 2;
    }
    const std::size_t length = EncodedLength(codePage, input);
    if (length > input.size()) return 0;
    if (codePage == kEucJp && !IsEucJpSequence(input.substr(0, length))) return 0;
    wchar_t wide[4];
    const int count = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(),
                                            static_cast<int>(length), wide, 4);
    if (count <= 0) return 0;
    char16_t units[4];
    for (int i = 0; i < count; ++i) units[i] = static_cast<char16_t>(wide[i]);
    if (!Utf16ToUtf8(units, static_cast<std::size_t>(count), character)) return 0;
    return length;
  }

  std::size_t Encode(std::string_view input) {
    const std::size_t length = Utf8CharLength(input, 0);
    if (length == 0) return 0;
    const std::u16string units = Utf8CharToUtf16(input, length);
    if (units.empty()) return 0;
    character.clear();
    if (IsUtf16()) {
      for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        character += codePage == kUtf16Le ? low : high;
        character += codePage == kUtf16Le ? high : low;
      }
      return length;
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    // GB18030 holds every character and takes neither flag nor default.
    const bool exact = codePage != kGb18030;
    const int count = ::WideCharToMultiByte(codePage, exact ? WC_NO_BEST_FIT_CHARS : 0,
                                            reinterpret_cast<const wchar_t*>(units.data()),
                                            static_cast<int>(units.size()), bytes, sizeof bytes,
                                            nullptr, exact ? &usedDefault : nullptr);
    if (count <= 0 || usedDefault) return 0;
    character.assign(bytes, static_cast<std::size_t>(count));
    if (codePage == kEucJp && !IsEucJpSequence(character)) return 0;
    return length;
  }
};

CharsetConverter::CharsetConverter(Charset charset, Direction direction)
    : state_(std::make_unique<State>()) {
  state_->codePage = CodePage(charset);
  state_->direction = direction;
  if (state_->codePage == kNoCodePage) {
    throw Error(kErrInvalidCall, "No conversion for " + std::string(CharsetName(charset)));
  }
  // gb18030 takes new text in GBK's two-byte characters, as on every system
  // (not every Windows has its code page), and reads as GBK where it has not.
  if (state_->codePage == kGb18030 &&
      (direction == Direction::kEncode || !::IsValidCodePage(kGb18030))) {
    state_->codePage = 936;
  }
  if (!state_->IsUtf16() && state_->codePage != CP_UTF8 && !::IsValidCodePage(state_->codePage)) {
    throw Error(kErrInvalidCall, "No conversion for " + std::string(CharsetName(charset)) +
                                     ": code page " + std::to_string(state_->codePage) +
                                     " is not installed");
  }
}

CharsetConverter::~CharsetConverter() = default;

CharsetConverter::Stop CharsetConverter::Convert(std::string_view& input, char* output,
                                                 std::size_t room, std::size_t& written) {
  written = 0;
  while (!input.empty()) {
    // ASCII reads and writes as itself in every code page.
    if (!state_->IsUtf16() && static_cast<unsigned char>(input[0]) < 0x80) {
      if (written == room) return Stop::kOutputFull;
      output[written++] = input[0];
      input.remove_prefix(1);
      continue;
    }
    const std::size_t consumed =
        state_->direction == Direction::kDecode ? state_->Decode(input) : state_->Encode(input);
    if (consumed == 0) return Stop::kInvalidInput;
    const std::string& character = state_->character;
    if (character.size() > room - written) return Stop::kOutputFull;
    character.copy(output + written, character.size());
    written += character.size();
    input.remove_prefix(consumed);
  }
  return Stop::kDone;
}

void CharsetConverter::Reset() {}

}  // namespace tervane
