#include "installer/installer.h"

#include <algorithm>

#include "addin/connection/registration_data.h"
#include "addin/platform/system_error_texts.h"
#include "installer/installer_texts.h"

namespace tervane::installer {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = -1;

void ShowError(InstallerPlatform& platform, std::string_view text) {
  platform.Show(text, MsgButtons::kOk, MsgIcon::kStop);
}

// kM9Failed, with `reason` on a second line when there is one.
int Failed(InstallerPlatform& platform, std::string_view reason = {}) {
  std::string text(texts::kM9Failed);
  if (!reason.empty()) text += "\r\n" + std::string(reason);
  ShowError(platform, text);
  return kExitFailed;
}

// `what` failed, followed by the system's `cause` in brackets.
std::string Because(std::string_view what, std::uint32_t cause) {
  std::string told(what);
  if (cause == 0) return told;
  const std::optional<std::string_view> japanese = tervane::texts::SystemErrorReason(cause);
  told += " (" +
          (japanese ? std::string(*japanese)
                    : std::string(texts::kSystemError) + std::to_string(cause)) +
          ")";
  return told;
}

// Why the registration program did not register or unregister the copy.
std::string RegistrationReason(InstallerPlatform& platform,
                               const std::optional<std::uint32_t>& exitCode) {
  if (!exitCode) return Because(texts::kNoRegistrationTool, platform.LastFailure());
  return std::string(texts::kRegistrationFailed) + " (" + std::string(texts::kExitCode) +
         std::to_string(*exitCode) + ")";
}

// Copies that an earlier run moved aside because the editor had them loaded
// are named like this, beside the target.
constexpr std::string_view kAsidePattern = "~Tervane-*.old";
// Temporary files are named "~Tervane-<process>-<n>.tmp"; one is left only by
// a run that was ended before it could delete it, and only one run goes on
// at a time.
constexpr std::string_view kTemporaryPattern = "~Tervane-*.tmp";

// The last "\" of `path` after its first character, or npos.
std::size_t LastSeparator(std::string_view path) {
  const std::size_t at = path.rfind('\\');
  return at == 0 ? std::string_view::npos : at;
}

std::string FolderOf(std::string_view path) {
  return std::string(path.substr(0, path.rfind('\\')));
}

// Deletes what earlier runs left beside the target: copies moved aside,
// which fails for any still loaded, and temporary files of runs that were
// ended. The paths of those that stay.
std::vector<std::string> RemoveLeftovers(InstallerPlatform& platform, std::string_view target) {
  std::vector<std::string> left;
  for (const std::string_view pattern : {kAsidePattern, kTemporaryPattern}) {
    for (const std::string& path : platform.FindFiles(FolderOf(target), pattern)) {
      if (!platform.DeleteFile(path)) left.push_back(path);
    }
  }
  return left;
}

int Install(InstallerPlatform& platform, const std::string& target) {
  if (!CreateTargetFolder(platform, target)) {
    ShowError(platform, std::string(texts::kM8NoFolder) + target);
    return Failed(platform);
  }
  RemoveLeftovers(platform, target);
  std::string reason;
  const Extracted extracted = ExtractLibrary(platform, target, &reason);
  if (extracted == Extracted::kInUse) {
    ShowError(platform, texts::kInUse);
    return kExitFailed;
  }
  if (extracted == Extracted::kFailed) return Failed(platform, reason);
  // The written copy stays when registration fails, so that a later run can
  // try again.
  const std::optional<std::uint32_t> registered =
      RunRegistrationToolExitCode(platform, "/s", target);
  if (registered != 0u) return Failed(platform, RegistrationReason(platform, registered));
  std::string done(texts::kM6Installed);
  if (extracted == Extracted::kBesideLoadedCopy) {
    done += "\r\n\r\n" + std::string(texts::kRestartEditor);
  }
  platform.Show(done, MsgButtons::kOk, MsgIcon::kInformation);
  return kExitDone;
}

int Uninstall(InstallerPlatform& platform, const std::string& target) {
  const std::optional<std::uint32_t> unregistered =
      RunRegistrationToolExitCode(platform, "/u", target);
  if (!unregistered) return Failed(platform, RegistrationReason(platform, unregistered));
  if (*unregistered != 0) {
    // A damaged copy cannot unregister itself: its keys go directly, or the
    // uninstallation could never finish.
    if (platform.Show(texts::kRemoveAnyway, MsgButtons::kYesNo, MsgIcon::kQuestion) !=
        MsgAnswer::kYes) {
      return kExitDone;
    }
    if (!platform.DeleteKeys(registration::OwnedKeys())) {
      return Failed(platform, Because(texts::kKeysStay, platform.LastFailure()));
    }
  }
  std::vector<std::string> left;
  if (!platform.DeleteFile(target) && platform.Attributes(target)) left.push_back(target);
  for (std::string& leftover : RemoveLeftovers(platform, target)) {
    left.push_back(std::move(leftover));
  }
  if (!left.empty()) {
    std::string text(texts::kLeftBehind);
    for (const std::string& path : left) text += "\r\n" + path;
    ShowError(platform, text);
    return kExitFailed;
  }
  platform.Show(texts::kM5Uninstalled, MsgButtons::kOk, MsgIcon::kInformation);
  return kExitDone;
}

}  // namespace

int InstallerMain(InstallerPlatform& platform) {
  if (!platform.ClaimSingleRun()) {
    platform.Show(texts::kAlreadyRunning, MsgButtons::kOk, MsgIcon::kInformation);
    return kExitDone;
  }
  if (!platform.AcquireShellAllocator()) {
    ShowError(platform, texts::kM1NoShellAllocator);
    return kExitDone;
  }
  const std::optional<std::string> target = GetTargetPath(platform, kTargetSuffix);
  if (!target) return Failed(platform, texts::kNoApplicationData);

  switch (CheckInstalledVersion(platform, *target)) {
    case 0:
      if (platform.Show(texts::kM2Install, MsgButtons::kYesNo, MsgIcon::kQuestion) !=
          MsgAnswer::kYes) {
        return kExitDone;
      }
      return Install(platform, *target);
    case 1:
      switch (platform.Show(texts::kM3Reinstall, MsgButtons::kYesNoCancel, MsgIcon::kQuestion)) {
        case MsgAnswer::kYes:
          return Install(platform, *target);
        case MsgAnswer::kNo:
          if (platform.Show(texts::kM4Uninstall, MsgButtons::kYesNo, MsgIcon::kQuestion,
                            /*defaultSecond=*/true) != MsgAnswer::kYes) {
            return kExitDone;
          }
          return Uninstall(platform, *target);
        default:
          return kExitDone;
      }
    default:
      ShowError(platform, texts::kM7TargetBlocked);
      return Failed(platform);
  }
}

std::optional<std::string> GetTargetPath(InstallerPlatform& platform, std::string_view suffix) {
  std::optional<std::string> folder = platform.ApplicationDataFolder();
  if (!folder) return std::nullopt;
  return *folder + std::string(suffix);
}

int CheckInstalledVersion(InstallerPlatform& platform, std::string_view path) {
  const std::optional<PathAttributes> attributes = platform.Attributes(path);
  if (!attributes) return 0;
  if (attributes->folder) return -1;
  const std::optional<std::uint32_t> version = platform.FileVersionMajorMinor(path);
  return version && *version >= kInstalledVersionThreshold ? 1 : 0;
}

bool CreateTargetFolder(InstallerPlatform& platform, std::string_view path) {
  if (path.empty()) return false;
  const std::size_t fileSeparator = LastSeparator(path);
  if (fileSeparator == std::string_view::npos) return false;
  const std::string_view folder = path.substr(0, fileSeparator);

  while (!platform.Attributes(folder)) {
    // The longest leading part that exists, cutting one level at a time.
    std::string_view existing = folder;
    do {
      const std::size_t cut = LastSeparator(existing);
      if (cut == std::string_view::npos) return false;
      existing = existing.substr(0, cut);
    } while (!platform.Attributes(existing));

    // The one level right below it.
    const std::string_view level = folder.substr(0, folder.find('\\', existing.size() + 1));
    if (!platform.CreateFolder(level) || !platform.Attributes(level)) return false;
  }
  return true;
}

Extracted ExtractLibrary(InstallerPlatform& platform, std::string_view path, std::string* reason) {
  // Told before the cleaning up, which may fail for causes of its own.
  const auto fail = [&](std::string_view what, std::uint32_t cause = 0) {
    if (reason) *reason = Because(what, cause);
    return Extracted::kFailed;
  };
  const std::optional<std::string> library = platform.CarriedLibrary();
  if (!library) return fail(texts::kNoCarriedLibrary);
  const std::size_t separator = LastSeparator(path);
  if (separator == std::string_view::npos) return fail(texts::kCannotWrite);
  const std::string folder(path.substr(0, separator));
  const std::optional<std::string> temporary = platform.CreateTemporaryFile(folder);
  if (!temporary) return fail(texts::kCannotWrite, platform.LastFailure());
  if (!platform.WriteFile(*temporary, *library)) {
    fail(texts::kCannotWrite, platform.LastFailure());
    platform.DeleteFile(*temporary);
    return Extracted::kFailed;
  }
  MoveResult replaced = platform.ReplaceFile(*temporary, path);
  if (replaced != MoveResult::kInUse) {
    if (replaced == MoveResult::kDone) return Extracted::kWritten;
    fail(texts::kCannotWrite, platform.LastFailure());
    platform.DeleteFile(*temporary);
    return Extracted::kFailed;
  }

  // The editor has the installed copy loaded: it cannot be replaced, but it
  // can be moved aside, and the editor goes on with it until it ends.
  const std::vector<std::string> taken = platform.FindFiles(folder, kAsidePattern);
  std::string aside;
  for (unsigned n = 0; aside.empty() || std::count(taken.begin(), taken.end(), aside); ++n) {
    aside = folder + "\\~Tervane-" + std::to_string(n) + ".old";
  }
  if (platform.RenameFile(path, aside) != MoveResult::kDone) {
    platform.DeleteFile(*temporary);
    return Extracted::kInUse;
  }
  if (platform.ReplaceFile(*temporary, path) != MoveResult::kDone) {
    fail(texts::kCannotWrite, platform.LastFailure());
    platform.RenameFile(aside, path);
    platform.DeleteFile(*temporary);
    return Extracted::kFailed;
  }
  // Deleted now if the editor has let it go meanwhile, else by a later run.
  platform.DeleteFile(aside);
  return Extracted::kBesideLoadedCopy;
}

std::optional<std::uint32_t> RunRegistrationToolExitCode(InstallerPlatform& platform,
                                                         std::string_view switchText,
                                                         std::string_view path) {
  // Started by its full path in the system folder: a program of that name
  // in the current folder or on the search path is never run.
  const std::string program = platform.SystemFolder() + "\\regsvr32.exe";
  const std::string commandLine =
      "\"" + program + "\" " + std::string(switchText) + " \"" + std::string(path) + "\"";
  return platform.RunAndWait(program, commandLine, platform.CurrentFolder());
}

bool RunRegistrationTool(InstallerPlatform& platform, std::string_view switchText,
                         std::string_view path) {
  const std::optional<std::uint32_t> exitCode =
      RunRegistrationToolExitCode(platform, switchText, path);
  return exitCode && *exitCode == 0;
}

}  // namespace tervane::installer
