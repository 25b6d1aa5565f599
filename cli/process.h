// What the program does with its process before running a command; the one
// place where `tervane` differs between POSIX systems and Windows.
#pragma once

#include <string>
#include <vector>

namespace tervane::cli {

/// Prepares the process for a command and returns the command line's
/// arguments (the program name first) as UTF-8. POSIX: a write cut short by
/// a file-size limit fails and is reported instead of killing the program
/// halfway through replacing the page. Windows: the arguments are read as
/// UTF-16 whatever the ANSI code page, and the console shows UTF-8 output
/// until the program ends.
std::vector<std::string> StartProcess(int argc, char** argv);

/// `path` (UTF-8) made absolute from the current folder, "." and ".." and
/// doubled separators resolved. POSIX: std::filesystem's rules. Windows: the
/// system's (GetFullPathNameW), which keep a network path's
/// "\\server\share" that the standard library would read as "\server"
/// on the current drive.
std::string FullPath(const std::string& path);

/// Whether `path` (UTF-8, absolute) names a folder; on Windows of any length
/// and on a share as well.
bool IsFolder(const std::string& path);

}  // namespace tervane::cli
