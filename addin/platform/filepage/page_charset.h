// The encoding of a page on disk, found as a browser finds it, and the
// writing of new markup into that encoding so that a browser reads it as
// meant.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

struct PageEncoding {
  Charset charset;
  /// Length of the byte-order mark that opens the page (3 for UTF-8, 2 for
  /// UTF-16), or 0.
  std::size_t bomLength;
  /// False when the page names no encoding (neither a byte-order mark nor a
  /// declaration), so that a browser guesses it and may guess otherwise.
  bool declared;
};

/// The encoding of a page's bytes, in this order:
///  1. a byte-order mark (UTF-8, UTF-16BE, UTF-16LE);
///  2. the first meta declaration (charset="...", or http-equiv="Content-Type"
///     with content="...; charset=...") in the first 1024 bytes, found by the
///     byte-level prescan browsers run before parsing (comments and the
///     attribute values of other tags are stepped over; unknown labels are
///     passed by; a UTF-16 label means UTF-8);
///  3. undeclared: see GuessUndeclaredCharset.
/// Throws Error when the page declares an encoding that is not IsWritable.
PageEncoding DetectPageEncoding(std::string_view bytes);

/// `markup` (UTF-8, markup of the link builder's kind) in the page's
/// encoding. A character that the encoding cannot hold, and in an undeclared
/// page every character outside ASCII, is written so that it reads the same
/// in any encoding a browser may settle on: inside an href or src value as
/// its UTF-8 bytes percent-encoded (an address in a path is UTF-8 for a
/// browser whatever the page's encoding), elsewhere (text, other attribute
/// values, comments) as a numeric character reference. Throws Error when
/// `markup` is not valid UTF-8.
std::string EncodeForPage(const PageEncoding& encoding, std::string_view markup);

/// An address read from a page with the percent-encoding that EncodeForPage
/// writes taken back: each run of %XX escapes of bytes 0x80 and above that
/// spells UTF-8 characters becomes those characters, but for C1 controls and
/// noncharacters, which addresses always keep percent-encoded; everything
/// else stays as written, so "a%20b" and "100%" are not changed.
std::string AddressAsRead(std::string_view href);

}  // namespace tervane
