// Paths of any length for the file calls. A Win32 file call refuses a path
// of MAX_PATH (260) characters or more, and a folder of 248 or more, unless
// the path is written in the "\\?\" form, which the calls take as it stands:
// absolute, with "\" separators and nothing left to resolve.
#pragma once

#include <string>
#include <string_view>

namespace tervane::win32 {

/// `path` (UTF-8) as UTF-16 for CreateFileW, GetFileAttributesW,
/// FindFirstFileExW and the like. A path of up to 200 characters is given as
/// it is (every call takes it, and a name up to 20 characters longer beside
/// it); a longer one is made absolute and given in the "\\?\"
/// form ("\\?\C:\...", "\\?\UNC\server\share\..." for a share).
std::wstring FileApiPath(std::string_view path);

}  // namespace tervane::win32
