// The POSIX side of CharsetConverter: glibc's iconv.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/charset_converter.h"
#include "addin/platform/error.h"

namespace tervane {

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// glibc's name for the encoding a browser reads under the charset's name.
// GBK and gb18030 pages read with GB18030, whose decoder browsers use for
// both, and take new text in GBK's two-byte characters, as Windows writes
// them too (not every Windows has gb18030's code page): the rest goes in as
// references. Big5 reads with the Hong Kong extensions, as
// browsers read it, and writes without them, as browsers write it.
const char* IconvName(Charset charset, CharsetConverter::Direction direction) {
  switch (charset) {
    case Charset::kUtf8:
      return "UTF-8";
    case Charset::kIbm866:
      return "IBM866";
    case Charset::kIso8859_2:
      return "ISO-8859-2";
    case Charset::kIso8859_3:
      return "ISO-8859-3";
    case Charset::kIso8859_4:
      return "ISO-8859-4";
    case Charset::kIso8859_5:
      return "ISO-8859-5";
    case Charset::kIso8859_6:
      return "ISO-8859-6";
    case Charset::kIso8859_7:
      return "ISO-8859-7";
    case Charset::kIso8859_8:
    case Charset::kIso8859_8I:
      return "ISO-8859-8";
    case Charset::kIso8859_10:
      return "ISO-8859-10";
    case Charset::kIso8859_13:
      return "ISO-8859-13";
    case Charset::kIso8859_14:
      return "ISO-8859-14";
    case Charset::kIso8859_15:
      return "ISO-8859-15";
    case Charset::kIso8859_16:
      return "ISO-8859-16";
    case Charset::kKoi8R:
      return "KOI8-R";
    case Charset::kKoi8U:
      return "KOI8-U";
    case Charset::kMacintosh:
      return "MACINTOSH";
    case Charset::kWindows874:
      return "WINDOWS-874";
    case Charset::kWindows1250:
      return "CP1250";
    case Charset::kWindows1251:
      return "CP1251";
    case Charset::kWindows1252:
      return "CP1252";
    case Charset::kWindows1253:
      return "CP1253";
    case Charset::kWindows1254:
      return "CP1254";
    case Charset::kWindows1255:
      return "CP1255";
    case Charset::kWindows1256:
      return "CP1256";
    case Charset::kWindows1257:
      return "CP1257";
    case Charset::kWindows1258:
      return "CP1258";
    case Charset::kXMacCyrillic:
      return "MAC-CYRILLIC";
    case Charset::kGbk:
    case Charset::kGb18030:
      return direction == CharsetConverter::Direction::kDecode ? "GB18030" : "GBK";
    case Charset::kBig5:
      return direction == CharsetConverter::Direction::kDecode ? "BIG5-HKSCS" : "BIG5";
    case Charset::kEucJp:
      return "EUC-JP";
    case Charset::kCp932:
      return "CP932";
    case Charset::kEucKr:
      return "CP949";
    case Charset::kUtf16Be:
      return "UTF-16BE";
    case Charset::kUtf16Le:
      return "UTF-16LE";
    case Charset::kIso2022Jp:
    case Charset::kReplacement:
    case Charset::kXUserDefined:
      break;
  }
  return nullptr;
}

// glibc composes a base character with the combining marks after it in
// these encodings, holding each character back until it sees the next one.
// Converted one character at a time, each flushed, the output keeps step
// with the input, and a browser, which composes nothing, reads the same.
bool HoldsCharactersBack(Charset charset) {
  return charset == Charset::kWindows1255 || charset == Charset::kWindows1258;
}

}  // namespace

struct CharsetConverter::State {
  iconv_t descriptor = kNoDescriptor;
  Direction direction = Direction::kDecode;
  bool oneAtATime = false;

  Stop Run(std::string_view& input, char* output, std::size_t room, std::size_t& written) {
    // iconv takes a non-const input pointer but does not write through it.
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = output;
    std::size_t outLeft = room;
    const std::size_t result = iconv(descriptor, &in, &inLeft, &out, &outLeft);
    const int cause = errno;
    input.remove_prefix(input.size() - inLeft);
    written = room - outLeft;
    if (result != static_cast<std::size_t>(-1)) return Stop::kDone;
    return cause == E2BIG ? Stop::kOutputFull : Stop::kInvalidInput;
  }

  Stop RunOneAtATime(std::string_view& input, char* output, std::size_t room,
                     std::size_t& written) {
    written = 0;
    char held[16];
    while (!input.empty()) {
      std::size_t length = 1;
      if (direction == Direction::kEncode) {
        length = Utf8CharLength(input, 0);
        if (length == 0) return Stop::kInvalidInput;
      }
      std::string_view one = input.substr(0, length);
      std::size_t got = 0;
      if (Run(one, held, sizeof held, got) != Stop::kDone || !one.empty()) {
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        return Stop::kInvalidInput;
      }
      char* out = held + got;
      std::size_t outLeft = sizeof held - got;
      iconv(descriptor, nullptr, nullptr, &out, &outLeft);
      got = sizeof held - outLeft;
      if (got > room - written) return Stop::kOutputFull;
      std::memcpy(output + written, held, got);
      written += got;
      input.remove_prefix(length);
    }
    return Stop::kDone;
  }
};

CharsetConverter::CharsetConverter(Charset charset, Direction direction)
    : state_(std::make_unique<State>()) {
  const char* name = IconvName(charset, direction);
  if (name == nullptr) {
    throw Error(kErrInvalidCall, "No conversion for " + std::string(CharsetName(charset)));
  }
  const char* toCode = direction == Direction::kDecode ? "UTF-8" : name;
  const char* fromCode = direction == Direction::kDecode ? name : "UTF-8";
  state_->descriptor = iconv_open(toCode, fromCode);
  if (state_->descriptor == kNoDescriptor) {
    throw Error(kErrInvalidCall, std::string("No conversion from ") + fromCode + " to " + toCode +
                                     ": " + std::strerror(errno));
  }
  state_->direction = direction;
  state_->oneAtATime = HoldsCharactersBack(charset);
}

CharsetConverter::~CharsetConverter() { iconv_close(state_->descriptor); }

CharsetConverter::Stop CharsetConverter::Convert(std::string_view& input, char* output,
                                                 std::size_t room, std::size_t& written) {
  if (state_->oneAtATime) return state_->RunOneAtATime(input, output, room, written);
  return state_->Run(input, output, room, written);
}

void CharsetConverter::Reset() { iconv(state_->descriptor, nullptr, nullptr, nullptr, nullptr); }

}  // namespace tervane
