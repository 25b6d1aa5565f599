// What the installer needs of the system, as one small interface: the Win32
// implementation for the real program, a fake for tests of the decisions.
// Paths are UTF-8 with "\" separators.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/platform/message_box.h"

namespace tervane::installer {

struct PathAttributes {
  bool folder = false;
};

enum class MoveResult {
  kDone,
  /// Another program holds the file (or the one it replaces) open or loaded.
  kInUse,
  kFailed,
};

class InstallerPlatform {
 public:
  virtual ~InstallerPlatform() = default;

  /// Claims the one run of the installer that may go on at a time, for the
  /// rest of this run; false when another run holds it.
  virtual bool ClaimSingleRun() = 0;
  /// Obtains the shell's memory allocator for the run; false when there is
  /// none.
  virtual bool AcquireShellAllocator() = 0;
  /// The current user's roaming application-data folder (shell folder 26);
  /// nullopt when the shell cannot name it.
  virtual std::optional<std::string> ApplicationDataFolder() = 0;

  /// What stands at `path`; nullopt when nothing does.
  virtual std::optional<PathAttributes> Attributes(std::string_view path) = 0;
  /// The most significant 32 bits of the file's fixed file version (major
  /// in the high word, minor in the low); nullopt without usable version
  /// information.
  virtual std::optional<std::uint32_t> FileVersionMajorMinor(std::string_view path) = 0;
  /// Creates one folder level; false on failure.
  virtual bool CreateFolder(std::string_view path) = 0;

  /// The library the installer carries; nullopt when the resource is missing.
  virtual std::optional<std::string> CarriedLibrary() = 0;
  /// Creates a new, empty file with a unique name in `folder`; its path, or
  /// nullopt.
  virtual std::optional<std::string> CreateTemporaryFile(std::string_view folder) = 0;
  /// Writes `bytes` as the whole content of the existing file `path` and
  /// flushes it; false unless every byte was written.
  virtual bool WriteFile(std::string_view path, std::string_view bytes) = 0;
  /// Replaces `target` by `source` in one step (write-through); on failure
  /// `target` is as it was.
  virtual MoveResult ReplaceFile(std::string_view source, std::string_view target) = 0;
  /// Renames `source` to `target`, which must not exist. A library that a
  /// program has loaded can still be renamed on the same volume.
  virtual MoveResult RenameFile(std::string_view source, std::string_view target) = 0;
  virtual bool DeleteFile(std::string_view path) = 0;
  /// The paths of the files in `folder` whose names match `pattern` (with
  /// "*" for any run of characters).
  virtual std::vector<std::string> FindFiles(std::string_view folder, std::string_view pattern) = 0;
  /// Deletes each key, relative to HKEY_CURRENT_USER, with everything below
  /// it; true when none of them is left.
  virtual bool DeleteKeys(const std::vector<std::string>& keys) = 0;
  /// The Windows error code of the last call above that failed, for the
  /// reason the user is told; 0 when the system gave none.
  virtual std::uint32_t LastFailure() = 0;

  /// The system folder, where the registration program lives.
  virtual std::string SystemFolder() = 0;
  virtual std::string CurrentFolder() = 0;
  /// Starts `program` with `commandLine` in `workingFolder` and waits for it
  /// to end; its exit code, or nullopt when it could not be started.
  virtual std::optional<std::uint32_t> RunAndWait(std::string_view program,
                                                  std::string_view commandLine,
                                                  std::string_view workingFolder) = 0;

  /// A message box titled "Tervane SETUP", without owner; `defaultSecond`
  /// makes the second button the default.
  virtual MsgAnswer Show(std::string_view text, MsgButtons buttons, MsgIcon icon,
                         bool defaultSecond = false) = 0;
};

}  // namespace tervane::installer
