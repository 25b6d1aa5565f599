#include "installer/installer.h"

#include "installer/installer_texts.h"

namespace tervane::installer {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = -1;

void ShowError(InstallerPlatform& platform, std::string_view text) {
  platform.Show(text, MsgButtons::kOk, MsgIcon::kStop);
}

int Failed(InstallerPlatform& platform) {
  ShowError(platform, texts::kM9Failed);
  return kExitFailed;
}

int Install(InstallerPlatform& platform, const std::string& target) {
  if (!CreateTargetFolder(platform, target)) {
    ShowError(platform, std::string(texts::kM8NoFolder) + target);
    return Failed(platform);
  }
  if (!ExtractLibrary(platform, target)) return Failed(platform);
  // The written copy stays when registration fails, so that a later run can
  // try again.
  if (!RunRegistrationTool(platform, "/s", target)) return Failed(platform);
  platform.Show(texts::kM6Installed, MsgButtons::kOk, MsgIcon::kInformation);
  return kExitDone;
}

int Uninstall(InstallerPlatform& platform, const std::string& target) {
  // Without the registration removed, the file stays: it is what removes it.
  if (!RunRegistrationTool(platform, "/u", target)) return Failed(platform);
  platform.DeleteFile(target);
  platform.Show(texts::kM5Uninstalled, MsgButtons::kOk, MsgIcon::kInformation);
  return kExitDone;
}

// The last "\" of `path` after its first character, or npos.
std::size_t LastSeparator(std::string_view path) {
  const std::size_t at = path.rfind('\\');
  return at == 0 ? std::string_view::npos : at;
}

}  // namespace

int InstallerMain(InstallerPlatform& platform) {
  if (!platform.AcquireShellAllocator()) {
    ShowError(platform, texts::kM1NoShellAllocator);
    return kExitDone;
  }
  const std::optional<std::string> target = GetTargetPath(platform, kTargetSuffix);
  if (!target) return Failed(platform);

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

bool ExtractLibrary(InstallerPlatform& platform, std::string_view path) {
  const std::optional<std::string> library = platform.CarriedLibrary();
  if (!library) return false;
  const std::size_t separator = LastSeparator(path);
  if (separator == std::string_view::npos) return false;
  const std::optional<std::string> temporary =
      platform.CreateTemporaryFile(path.substr(0, separator));
  if (!temporary) return false;
  if (platform.WriteFile(*temporary, *library) && platform.ReplaceFile(*temporary, path)) {
    return true;
  }
  platform.DeleteFile(*temporary);
  return false;
}

bool RunRegistrationTool(InstallerPlatform& platform, std::string_view switchText,
                         std::string_view path) {
  // Started by its full path in the system folder: a program of that name
  // in the current folder or on the search path is never run.
  const std::string program = platform.SystemFolder() + "\\regsvr32.exe";
  const std::string commandLine =
      "\"" + program + "\" " + std::string(switchText) + " \"" + std::string(path) + "\"";
  const std::optional<std::uint32_t> exitCode =
      platform.RunAndWait(program, commandLine, platform.CurrentFolder());
  return exitCode && *exitCode == 0;
}

}  // namespace tervane::installer
