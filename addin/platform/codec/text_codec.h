// Conversions between UTF-8, which the program uses inside, and the Japanese
// encodings that pages and shortcut files come in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/utf8.h"  // IsValidUtf8

namespace tervane {

/// Shift_JIS means Windows code page 932, as browsers read it.
enum class Charset { kUtf8, kCp932, kEucJp };

/// The canonical name of a charset: "UTF-8", "Shift_JIS", "EUC-JP".
std::string_view CharsetName(Charset charset);

/// The charset a label names (WHATWG labels, ASCII case-insensitive, blanks
/// trimmed): "utf-8", "shift_jis", "sjis", "windows-31j", "euc-jp", ...;
/// nullopt for a label of another or an unknown encoding.
std::optional<Charset> CharsetFromLabel(std::string_view label);

/// Decodes `bytes` into UTF-8; nullopt when they are not valid in `charset`.
std::optional<std::string> DecodeStrict(Charset charset, std::string_view bytes);

/// Encodes UTF-8 text into `charset`; nullopt when a character cannot be
/// written in it.
std::optional<std::string> Encode(Charset charset, std::string_view utf8);

}  // namespace tervane
