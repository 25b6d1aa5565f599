// The encoding of a page on disk, found as a browser finds it, and the
// writing of new text into that encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

struct PageEncoding {
  Charset charset;
  /// Length of the byte-order mark that opens the page (3 for UTF-8), or 0.
  std::size_t bomLength;
};

/// The encoding of a page's bytes, in this order:
///  1. a byte-order mark;
///  2. the first meta declaration (charset="...", or http-equiv="Content-Type"
///     with content="...; charset=...") in the first 1024 bytes, found by the
///     byte-level prescan browsers run before parsing (comments and the
///     attribute values of other tags are stepped over; unknown labels are
///     passed by; a UTF-16 label means UTF-8);
///  3. UTF-8 when all the bytes are well-formed UTF-8, else Shift_JIS (code
///     page 932).
/// Throws Error when the page is in UTF-16 or declares an encoding other
/// than UTF-8, Shift_JIS or EUC-JP.
PageEncoding DetectPageEncoding(std::string_view bytes);

/// `utf8` encoded in `charset`. Throws Error naming the first character that
/// cannot be written in `charset` (or reads back as another character).
std::string EncodeForPage(Charset charset, std::string_view utf8);

}  // namespace tervane
