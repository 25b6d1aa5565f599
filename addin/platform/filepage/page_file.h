// What the page stand-in needs from the file system besides the atomic
// replacement: the page's absolute name, its address, and its bytes. These
// differ between POSIX systems and Windows; everything else does not.
#pragma once

#include <cstddef>
#include <string>

namespace tervane {

/// `path` made absolute from the current folder; an absolute path as given.
/// Links are not resolved.
std::string AbsolutePagePath(const std::string& path);

/// The page's address as an editor reports it: "file://" + the path on POSIX
/// systems, "file:///" + the path with "/" for "\" on Windows, and "file:" +
/// it for a page on a share ("file://server/share/p.htm"). Nothing is
/// percent-encoded.
std::string PageFileUrl(const std::string& absolutePath);

/// The whole file. Throws Error ("Cannot read <path>: ...") when it does not
/// exist, is a folder, cannot be read, or is larger than `maxBytes`.
std::string ReadPageFile(const std::string& path, std::size_t maxBytes);

/// Throws the Error that ReadPageFile throws for a page that cannot be opened
/// or read: "Cannot read <path>: " and the reason, for the system's error
/// `cause` (errno on POSIX systems, GetLastError() on Windows).
[[noreturn]] void ThrowPageReadError(const std::string& path, unsigned long cause);

}  // namespace tervane
