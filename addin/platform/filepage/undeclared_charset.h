// How a browser reads a page that names no encoding.
#pragma once

#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

/// The encoding of a page without a byte-order mark or a declaration:
/// UTF-8 when the bytes are well-formed UTF-8 and hold a character outside
/// ASCII; else EUC-JP or Shift_JIS when the bytes read as Japanese in one of
/// them (kana, which Japanese text is full of, and few bytes that are
/// invalid; the byte patterns of kana in the two do not overlap); else
/// windows-1252, what browsers take for a page of western Europe.
Charset GuessUndeclaredCharset(std::string_view bytes);

}  // namespace tervane
