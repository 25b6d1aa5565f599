// Which text of a picture's metadata becomes its title (the alt text that
// --alt gives), and in which character set each source is read.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/picture_metadata.h"

namespace tervane {

/// Decodes Shift_JIS (code page 932) into UTF-8; nullopt when the bytes are
/// not valid Shift_JIS. The codec lives with the platform.
using ShiftJisDecoder = std::function<std::optional<std::string>(std::string_view)>;

/// The first of XMP dc:title, XMP dc:description, IPTC Caption-Abstract,
/// EXIF ImageDescription, XPTitle, PNG Title, PNG Description that holds more
/// than blanks, in UTF-8: blanks (white space, NUL, U+3000) trimmed at both
/// ends, each run of control characters and line breaks inside made one
/// space. nullopt when none does.
/// An IPTC caption is UTF-8 when its record says so; otherwise UTF-8 when it
/// is valid UTF-8, else Shift_JIS when it is valid Shift_JIS, else Latin-1.
/// An ImageDescription is UTF-8 when valid, else Latin-1.
std::optional<std::string> PictureTitle(const PictureMetadata& metadata,
                                        const ShiftJisDecoder& shiftJis);

/// `text` trimmed and made one line as above; empty when it is blanks only.
std::string CleanTitle(std::string_view text);

}  // namespace tervane
