// Conversions between UTF-8, which the program uses inside, and the
// encodings that browsers read pages in (and shortcut files come in).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/utf8.h"  // IsValidUtf8

namespace tervane {

/// The encodings of the WHATWG Encoding Standard, which is what browsers
/// read. Shift_JIS means Windows code page 932, EUC-KR code page 949 (its
/// Korean superset), as browsers read them.
enum class Charset {
  kUtf8,
  kIbm866,
  kIso8859_2,
  kIso8859_3,
  kIso8859_4,
  kIso8859_5,
  kIso8859_6,
  kIso8859_7,
  kIso8859_8,
  kIso8859_8I,
  kIso8859_10,
  kIso8859_13,
  kIso8859_14,
  kIso8859_15,
  kIso8859_16,
  kKoi8R,
  kKoi8U,
  kMacintosh,
  kWindows874,
  kWindows1250,
  kWindows1251,
  kWindows1252,
  kWindows1253,
  kWindows1254,
  kWindows1255,
  kWindows1256,
  kWindows1257,
  kWindows1258,
  kXMacCyrillic,
  kGbk,
  kGb18030,
  kBig5,
  kEucJp,
  kIso2022Jp,
  kCp932,
  kEucKr,
  kReplacement,
  kUtf16Be,
  kUtf16Le,
  kXUserDefined,
};

/// The encoding's name as browsers give it: "UTF-8", "Shift_JIS",
/// "windows-1252", "EUC-KR", "UTF-16LE", ...
std::string_view CharsetName(Charset charset);

/// The encoding a label names (every WHATWG label, ASCII case-insensitive,
/// blanks trimmed): "utf-8", "sjis", "latin1" and "us-ascii" (windows-1252),
/// "utf-16" (UTF-16LE), ...; nullopt for a label no browser knows.
std::optional<Charset> CharsetFromLabel(std::string_view label);

/// Whether text in `charset` can be read and new text written into it, byte
/// for byte as a browser reads it: false for ISO-2022-JP, whose escape
/// sequences make a byte's meaning depend on everything before it, for the
/// replacement encoding, which stands for encodings browsers refuse to read,
/// and for x-user-defined.
bool IsWritable(Charset charset);

/// Whether every ASCII character is written as its own byte, and no other
/// character uses bytes below 0x80 (false for UTF-16).
bool IsAsciiCompatible(Charset charset);

/// Decodes `bytes` into UTF-8; nullopt when they are not valid in `charset`.
std::optional<std::string> DecodeStrict(Charset charset, std::string_view bytes);

/// Encodes UTF-8 text into `charset`; nullopt when a character cannot be
/// written in it (or would read back as another one).
std::optional<std::string> Encode(Charset charset, std::string_view utf8);

}  // namespace tervane
