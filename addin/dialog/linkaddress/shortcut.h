// Internet Shortcut files: recognising them by name and reading the address
// they hold (key "URL" of section "InternetShortcut", or its Unicode twin in
// section "InternetShortcut.W").
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tervane {

/// Shortcut files larger than this are not read; their address is empty.
inline constexpr std::size_t kMaxShortcutFileBytes = std::size_t{1} << 20;

/// True when the last four characters of `name`, upper-cased, are ".URL".
bool IsShortcutName(std::string_view name);

/// Turns bytes in the system's ANSI code page into UTF-8; nullopt when they
/// are not valid in it.
using AnsiDecoder = std::function<std::optional<std::string>(std::string_view)>;

/// The address held by a shortcut file with the given contents, as UTF-8;
/// empty when there is none or the file is not text.
///  - A UTF-8 or UTF-16 (LE/BE) byte-order mark decides the encoding;
///    otherwise the bytes are ANSI text, decoded with `decodeAnsi`.
///  - "Not text": no byte-order mark and a NUL byte, or bytes the decoder
///    rejects.
///  - Lines are read as the system's profile reader (GetPrivateProfileString)
///    reads them: section and key names match regardless of ASCII case;
///    ASCII white space and ^Z around names and values are ignored;
///    matching surrounding quotes are removed; only the first section of a
///    name is searched, and the first "URL" in it wins. Unlike that reader,
///    the whole value is returned, however long.
///  - Key "URL" of section "InternetShortcut.W", decoded from UTF-7, wins
///    over key "URL" of section "InternetShortcut" when present and not
///    empty.
std::string ShortcutUrlFromBytes(std::string_view bytes, const AnsiDecoder& decodeAnsi);

/// True when a browser would run `address` as a script when the link is
/// followed: its scheme is "javascript", "vbscript" or "data" as a browser
/// reads a URL, that is after dropping C0 controls and spaces around it and
/// tabs and line breaks inside it, in any letter case. A link is written
/// with its address escaped, so a character reference in a shortcut's text
/// reaches the browser as the text it is, not as the character it names.
bool RunsAsScript(std::string_view address);

/// Decodes UTF-7 (RFC 2152) into UTF-8; nullopt when malformed.
std::optional<std::string> DecodeUtf7(std::string_view utf7);

}  // namespace tervane
