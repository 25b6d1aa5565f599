// The Windows side of CharsetConverter: the system's code pages, one
// character at a time, so that a conversion stops exactly where the input
// stops being valid or the output runs out of room. Shift_JIS is code page
// 932. EUC-JP is code page 20932, which holds JIS X 0208 and half-width
// katakana as EUC-JP does, but writes JIS X 0212 as two bytes of its own
// instead of EUC-JP's three: only the sequences of EUC-JP proper are read
// and written, so JIS X 0212 characters are neither.
#include <windows.h>

#include <string>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/charset_converter.h"
#include "addin/platform/error.h"

namespace tervane {

namespace {

UINT CodePage(Charset charset) {
  switch (charset) {
    case Charset::kCp932:
      return 932;
    case Charset::kEucJp:
      return 20932;
    case Charset::kUtf8:
      break;
  }
  return CP_UTF8;
}

// How many bytes the character starting with `lead` takes in the charset.
std::size_t EncodedLength(Charset charset, unsigned char lead) {
  if (lead < 0x80) return 1;
  if (charset == Charset::kCp932) {
    return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
  }
  return lead == 0x8E || (lead >= 0xA1 && lead <= 0xFE) ? 2 : 1;
}

bool InRange(char c, unsigned char low, unsigned char high) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= low && byte <= high;
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
bool Utf16ToUtf8(const wchar_t* units, int count, std::string& out) {
  for (int i = 0; i < count; ++i) {
    char32_t c = static_cast<char16_t>(units[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
      const char32_t low = static_cast<char16_t>(units[i + 1]);
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

}  // namespace

struct CharsetConverter::State {
  Charset charset = Charset::kUtf8;
  UINT codePage = CP_UTF8;
  Direction direction = Direction::kDecode;
  std::string character;  // the current character's output, reused

  // Converts the character at the front of `input` into `character`;
  // returns the bytes it takes, 0 when it is invalid or cannot be written.
  std::size_t Decode(std::string_view input) {
    const std::size_t length = EncodedLength(charset, static_cast<unsigned char>(input[0]));
    if (length > input.size()) return 0;
    if (charset == Charset::kEucJp && !IsEucJpSequence(input.substr(0, length))) return 0;
    wchar_t units[4];
    const int count = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(),
                                            static_cast<int>(length), units, 4);
    character.clear();
    if (count <= 0 || !Utf16ToUtf8(units, count, character)) return 0;
    return length;
  }

  std::size_t Encode(std::string_view input) {
    const std::size_t length = Utf8CharLength(input, 0);
    if (length == 0) return 0;
    const std::wstring units = [&] {
      std::wstring wide(2, L'\0');
      const int count = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, input.data(),
                                              static_cast<int>(length), wide.data(), 2);
      wide.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
      return wide;
    }();
    if (units.empty()) return 0;
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int count = ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, units.data(),
                                            static_cast<int>(units.size()), bytes, sizeof bytes,
                                            nullptr, &usedDefault);
    if (count <= 0 || usedDefault) return 0;
    character.assign(bytes, static_cast<std::size_t>(count));
    if (charset == Charset::kEucJp && !IsEucJpSequence(character)) return 0;
    return length;
  }
};

CharsetConverter::CharsetConverter(Charset charset, Direction direction)
    : state_(std::make_unique<State>()) {
  state_->charset = charset;
  state_->codePage = CodePage(charset);
  state_->direction = direction;
  if (charset != Charset::kUtf8 && !::IsValidCodePage(state_->codePage)) {
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
    // ASCII reads and writes as itself in both charsets.
    if (static_cast<unsigned char>(input[0]) < 0x80) {
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
