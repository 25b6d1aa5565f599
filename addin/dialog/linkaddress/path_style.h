// How the platform writes folder paths. The link builder's address rules were
// made for Windows paths ("C:\web\img"); on POSIX the same rules apply with "/"
// as the separator and one drive, the root.
#pragma once

#include <string>
#include <string_view>

namespace tervane {

enum class PathStyle { kWindows, kPosix };

/// The folder separator: "\" on Windows, "/" on POSIX.
char Separator(PathStyle style);

/// The drive specification of a text that begins with a drive letter or a
/// path: its first character followed by ":" on Windows ("c:" for "c:\web"),
/// always "/" on POSIX. Empty for an empty text. A Windows network path
/// gives its share, which stands for the drive: "\\nas\web" for
/// "\\nas\web\img".
std::string DriveSpecification(std::string_view text, PathStyle style);

/// `path` with `name` appended, a separator between them unless `path`
/// already ends in one.
std::string JoinPath(std::string_view path, std::string_view name, PathStyle style);

}  // namespace tervane
