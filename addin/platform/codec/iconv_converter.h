// glibc's iconv for one direction of conversion, owned by an object. The
// conversion runs in steps so that a caller can stop at an output bound or
// step over a byte that starts no character.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

/// The name glibc's iconv knows `charset` by.
const char* IconvName(Charset charset);

class IconvConverter {
 public:
  /// Throws Error when the C library offers no such conversion.
  IconvConverter(const char* toCode, const char* fromCode);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  enum class Stop { kDone, kInvalidInput, kOutputFull };

  /// Converts whole characters from the front of `input` into the `room`
  /// bytes at `output`, dropping what it consumed from `input` and returning
  /// how many bytes it wrote in `written`. kInvalidInput leaves `input` at
  /// the first byte that starts no valid character (or a truncated one);
  /// kOutputFull leaves it at the first character that did not fit.
  Stop Convert(std::string_view& input, char* output, std::size_t room, std::size_t& written);

  /// Returns to the initial state, as after an invalid input.
  void Reset();

 private:
  iconv_t descriptor_;
};

}  // namespace tervane
