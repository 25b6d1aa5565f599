// Replacing a file's contents so that a reader sees either the old or the new
// bytes, never a mixture, a failed write loses nothing, and a save another
// program made meanwhile is never written over.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "addin/platform/error.h"
#include "addin/platform/filepage/page_file.h"

namespace tervane {

/// Thrown when the file is no longer the one read: another program saved it
/// after it was read. The file is left as that program saved it; the caller
/// reads it again and does its work anew.
class PageChangedError : public Error {
 public:
  explicit PageChangedError(const std::string& path)
      : Error(kErrPathFileAccess, "Cannot write " + path +
                                      ": another program changed it while it was being worked on") {
  }
};

/// Writes `bytes` to a temporary file in the folder of `path`'s target (a
/// symbolic link is followed and its target replaced), flushes it to disk,
/// gives it the target's owner where permitted, group, permissions, ACL and
/// extended attributes, and renames it over the target. Right before the
/// rename, the target is compared with `expected` (when given): if it is no
/// longer that file, PageChangedError. A target that is read-only, or that
/// the user may not write, is refused ("it is read-only"), and anything but a
/// regular file too. Where replacing would lose what the target is (its
/// owner, group, ACL or extended attributes cannot be given to a new file, it
/// has a second hard link) or the rename is refused (a file mounted on its
/// own, another file system), the target is written in place instead, its
/// old bytes kept in a temporary file beside it until the write is complete
/// and put back if it fails.
/// On failure, throws Error naming the cause; the target is untouched and no
/// temporary file remains. Callers ignore SIGXFSZ so that a file-size limit
/// makes the write fail instead of killing the process. On Windows the
/// temporary file takes the target's place with ReplaceFileW, which keeps the
/// target's attributes and security, keeping the old page under a backup
/// name until it has; a read-only target is refused.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::optional<PageIdentity>& expected = std::nullopt);

/// Runs `hook` with the target's name just before every later replacement
/// compares the target with what was read; an empty hook ends that. Tests
/// put there what another program does at that moment (saving the page,
/// sending a signal).
void SetBeforeReplaceHook(std::function<void(const std::string& target)> hook);

#ifndef _WIN32
/// Removes the temporary file of a replacement under way, if any. Safe in a
/// signal handler: a handler of a signal that ends the program calls it so
/// that the hidden copy of the new page does not stay behind.
void RemovePendingTemporaryFile() noexcept;
#endif

}  // namespace tervane
