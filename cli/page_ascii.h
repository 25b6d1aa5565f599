// ASCII characters as a page's own bytes hold them: one byte each in the
// encodings whose ASCII is ASCII, a unit of two bytes in UTF-16. sync finds
// its comments, line ends and blanks in the page's bytes with it, so that
// what it does not rewrite stays byte for byte, in any encoding it reads.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane::cli {

class PageAscii {
 public:
  /// `charset` must be IsWritable.
  explicit PageAscii(Charset charset);

  /// The bytes of one unit: 1, or 2 in UTF-16. The text given to the
  /// members below starts on a unit, and the offsets given and returned
  /// fall on one.
  std::size_t Width() const { return width_; }
  /// `ascii` (ASCII characters but NUL) as the page writes it.
  std::string Bytes(std::string_view ascii) const;
  /// Whether `ascii` stands in `text` at `at`.
  bool At(std::string_view text, std::size_t at, std::string_view ascii) const;
  /// Whether the unit at `at` is one of `characters`.
  bool IsAnyOf(std::string_view text, std::size_t at, std::string_view characters) const;
  /// Where `ascii` first stands in `text` at or after `from`, or npos.
  std::size_t Find(std::string_view text, std::string_view ascii, std::size_t from) const;
  /// The first unit at or after `from` that is one of `characters`, or npos.
  std::size_t FindAnyOf(std::string_view text, std::string_view characters, std::size_t from) const;
  /// The last unit before `before` that is one of `characters`, or npos.
  std::size_t FindLastOf(std::string_view text, std::string_view characters,
                         std::size_t before) const;

 private:
  std::size_t width_ = 1;
  std::array<std::string, 128> units_;
};

}  // namespace tervane::cli
