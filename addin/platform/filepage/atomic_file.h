// Replacing a file's contents so that a reader sees either the old or the new
// bytes, never a mixture, and a failed write loses nothing.
#pragma once

#include <string>
#include <string_view>

namespace tervane {

/// Writes `bytes` to a temporary file in the folder of `path`'s target (a
/// symbolic link is followed and its target replaced), flushes it to disk,
/// gives it the target's permissions and renames it over the target.
/// On failure, throws Error naming the cause; the target is untouched and no
/// temporary file remains. Callers ignore SIGXFSZ so that a file-size limit
/// makes the write fail instead of killing the process. On Windows the
/// temporary file takes the target's place with ReplaceFileW, which keeps the
/// target's attributes and security; a read-only target is refused.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace tervane
