// One direction of conversion between UTF-8 and a page charset, run in steps
// so that a caller can stop at an output bound or step over a byte that
// starts no character. glibc's iconv does the work on POSIX systems, the
// system's code pages on Windows. Throws Error, on construction, for an
// encoding that is not IsWritable or that the system lacks.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

class CharsetConverter {
 public:
  /// kDecode reads `charset` and writes UTF-8; kEncode the other way.
  enum class Direction { kDecode, kEncode };

  /// Throws Error when the system offers no such conversion.
  CharsetConverter(Charset charset, Direction direction);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  enum class Stop { kDone, kInvalidInput, kOutputFull };

  /// Converts whole characters from the front of `input` into the `room`
  /// bytes at `output`, dropping what it consumed from `input` and returning
  /// how many bytes it wrote in `written`. kInvalidInput leaves `input` at
  /// the first byte that starts no valid character (or a truncated one), or
  /// at a character the target cannot hold; kOutputFull leaves it at the
  /// first character that did not fit.
  Stop Convert(std::string_view& input, char* output, std::size_t room, std::size_t& written);

  /// Returns to the initial state, as after an invalid input.
  void Reset();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tervane
