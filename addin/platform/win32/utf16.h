// UTF-8 inside, UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace tervane::win32 {

/// UTF-8 to UTF-16. Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
/// UTF-16 to UTF-8. Lone surrogates become U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace tervane::win32
