// A picture of a window for a person to look at.
#pragma once

#include <windows.h>

#include <string>

namespace tervane::testing {

/// Writes `window` as it is on the screen, its frame included, to `path` as
/// a 24-bit BMP file. False when it could not be copied or written.
bool WriteBitmap(HWND window, const std::wstring& path);

}  // namespace tervane::testing
