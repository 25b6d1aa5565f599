#include "addin/platform/codec/iconv_converter.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "addin/platform/error.h"

namespace tervane {

namespace {
const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
}  // namespace

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

IconvConverter::IconvConverter(const char* toCode, const char* fromCode)
    : descriptor_(iconv_open(toCode, fromCode)) {
  if (descriptor_ == kNoDescriptor) {
    throw Error(kErrInvalidCall, std::string("No conversion from ") + fromCode + " to " + toCode +
                                     ": " + std::strerror(errno));
  }
}

IconvConverter::~IconvConverter() { iconv_close(descriptor_); }

IconvConverter::Stop IconvConverter::Convert(std::string_view& input, char* output,
                                             std::size_t room, std::size_t& written) {
  // iconv takes a non-const input pointer but does not write through it.
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output;
  std::size_t outLeft = room;
  const std::size_t result = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
  const int cause = errno;
  input.remove_prefix(input.size() - inLeft);
  written = room - outLeft;
  if (result != static_cast<std::size_t>(-1)) return Stop::kDone;
  return cause == E2BIG ? Stop::kOutputFull : Stop::kInvalidInput;
}

void IconvConverter::Reset() { iconv(descriptor_, nullptr, nullptr, nullptr, nullptr); }

}  // namespace tervane
