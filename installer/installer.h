// The installer: installs the carried add-in library into the current user's
// application-data add-ins folder and registers it, reinstalls over an
// installed copy, or unregisters and deletes it, asking the user first.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "installer/installer_platform.h"

namespace tervane::installer {

inline constexpr std::string_view kTargetSuffix = "\\microsoft\\addins\\Tervane.dll";
/// File version 1.2: an installed copy this new or newer counts as installed.
inline constexpr std::uint32_t kInstalledVersionThreshold = 0x00010002;

/// The whole run; the program's exit code, 0 or -1.
int InstallerMain(InstallerPlatform& platform);

/// The application-data folder followed by `suffix`; nullopt when the shell
/// cannot name the folder.
std::optional<std::string> GetTargetPath(InstallerPlatform& platform, std::string_view suffix);

/// 0: nothing at `path`, a file without usable version information, or one
/// older than 1.2; 1: a file of version 1.2 or newer; -1: a folder.
int CheckInstalledVersion(InstallerPlatform& platform, std::string_view path);

/// Makes sure the folder that is to hold `path` exists, creating the missing
/// levels one at a time. Anything standing at a level counts as existing.
bool CreateTargetFolder(InstallerPlatform& platform, std::string_view path);

enum class Extracted {
  kWritten,
  /// Written after the installed copy, which a program had loaded, was moved
  /// aside; that program goes on with the old copy until it ends.
  kBesideLoadedCopy,
  /// The installed copy is in use and could not be moved aside either.
  kInUse,
  kFailed,
};

/// Writes the carried library to `path`: into a temporary file beside it
/// first, which then replaces `path`. On failure the previous copy stays as
/// it was and no temporary file is left; with kFailed, `reason` says why, in
/// Japanese.
Extracted ExtractLibrary(InstallerPlatform& platform, std::string_view path,
                         std::string* reason = nullptr);

/// Runs the system folder's regsvr32.exe with `switchText` ("/s" or "/u") on
/// `path` and waits for it; true only when it ran and succeeded.
bool RunRegistrationTool(InstallerPlatform& platform, std::string_view switchText,
                         std::string_view path);
/// The same run; regsvr32's exit code, or nullopt when it could not start.
std::optional<std::uint32_t> RunRegistrationToolExitCode(InstallerPlatform& platform,
                                                         std::string_view switchText,
                                                         std::string_view path);

}  // namespace tervane::installer
