#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "addin/platform/codec/charset_converter.h"
#include "addin/platform/error.h"

namespace tervane {

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

const char* IconvName(Charset charset) {
  switch (charset) {
    case Charset::kCp932:
      return "CP932";
    case Charset::kEucJp:
      return "EUC-JP";
    case Charset::kUtf8:
      break;
  }
  return "UTF-8";
}

}  // namespace

struct CharsetConverter::State {
  iconv_t descriptor = kNoDescriptor;
};

CharsetConverter::CharsetConverter(Charset charset, Direction direction)
    : state_(std::make_unique<State>()) {
  const char* toCode = direction == Direction::kDecode ? "UTF-8" : IconvName(charset);
  const char* fromCode = direction == Direction::kDecode ? IconvName(charset) : "UTF-8";
  state_->descriptor = iconv_open(toCode, fromCode);
  if (state_->descriptor == kNoDescriptor) {
    throw Error(kErrInvalidCall, std::string("No conversion from ") + fromCode + " to " + toCode +
                                     ": " + std::strerror(errno));
  }
}

CharsetConverter::~CharsetConverter() { iconv_close(state_->descriptor); }

CharsetConverter::Stop CharsetConverter::Convert(std::string_view& input, char* output,
                                                 std::size_t room, std::size_t& written) {
  // iconv takes a non-const input pointer but does not write through it.
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output;
  std::size_t outLeft = room;
  const std::size_t result = iconv(state_->descriptor, &in, &inLeft, &out, &outLeft);
  const int cause = errno;
  input.remove_prefix(input.size() - inLeft);
  written = room - outLeft;
  if (result != static_cast<std::size_t>(-1)) return Stop::kDone;
  return cause == E2BIG ? Stop::kOutputFull : Stop::kInvalidInput;
}

void CharsetConverter::Reset() { iconv(state_->descriptor, nullptr, nullptr, nullptr, nullptr); }

}  // namespace tervane
