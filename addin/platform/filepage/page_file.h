// What the page stand-in needs from the file system besides the atomic
// replacement: the page's absolute name, its address, and its bytes. These
// differ between POSIX systems and Windows; everything else does not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

/// What tells whether the page on disk is still the file as it was read:
/// device, inode, size and modification time to the nanosecond on POSIX
/// systems; volume, file ID, size and last write time on Windows. Any save by
/// another program changes one of them, whether it renames a new file over
/// the page or writes the page in place.
struct PageIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  bool operator==(const PageIdentity&) const = default;
};

/// The whole file, and in `identity` (when given) the file as it was before
/// reading began. Throws Error ("Cannot read <path>: ...") when it does not
/// exist, is a folder or anything else but a regular file (a FIFO, a
/// device), cannot be read, or is larger than `maxBytes`. Never blocks on
/// opening, and never reads more than `maxBytes` + 1 bytes.
std::string ReadPageFile(const std::string& path, std::size_t maxBytes,
                         PageIdentity* identity = nullptr);

/// The identity of the file at `path` now (a symbolic link is followed);
/// nullopt when nothing can be inspected there.
std::optional<PageIdentity> PageIdentityAt(const std::string& path);

/// Throws the Error that ReadPageFile throws for a page that cannot be opened
/// or read: "Cannot read <path>: " and the reason, for the system's error
/// `cause` (errno on POSIX systems, GetLastError() on Windows).
[[noreturn]] void ThrowPageReadError(const std::string& path, unsigned long cause);

}  // namespace tervane
