// The installer's platform on Win32, in the Unicode (W) functions, so that
// the messages and a user folder with any characters work on every system
// locale. Every handle, shell allocation and interface is owned.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include "addin/platform/win32/unique_handle.h"
#include "installer/installer_platform.h"

namespace tervane::installer {

class Win32InstallerPlatform : public InstallerPlatform {
 public:
  bool ClaimSingleRun() override;
  bool AcquireShellAllocator() override;
  std::optional<std::string> ApplicationDataFolder() override;
  std::optional<PathAttributes> Attributes(std::string_view path) override;
  std::optional<std::uint32_t> FileVersionMajorMinor(std::string_view path) override;
  bool CreateFolder(std::string_view path) override;
  std::optional<std::string> CarriedLibrary() override;
  std::optional<std::string> CreateTemporaryFile(std::string_view folder) override;
  bool WriteFile(std::string_view path, std::string_view bytes) override;
  MoveResult ReplaceFile(std::string_view source, std::string_view target) override;
  MoveResult RenameFile(std::string_view source, std::string_view target) override;
  bool DeleteFile(std::string_view path) override;
  std::vector<std::string> FindFiles(std::string_view folder, std::string_view pattern) override;
  bool DeleteKeys(const std::vector<std::string>& keys) override;
  std::uint32_t LastFailure() override { return lastFailure_; }
  std::string SystemFolder() override;
  std::string CurrentFolder() override;
  std::optional<std::uint32_t> RunAndWait(std::string_view program, std::string_view commandLine,
                                          std::string_view workingFolder) override;
  MsgAnswer Show(std::string_view text, MsgButtons buttons, MsgIcon icon,
                 bool defaultSecond) override;

 private:
  Microsoft::WRL::ComPtr<IMalloc> shellAllocator_;
  win32::UniqueHandleOwner singleRun_;
  DWORD lastFailure_ = 0;
};

/// The mutex that one run of the installer holds, per session.
inline constexpr wchar_t kSingleRunMutex[] = L"Local\\TervaneSetup";
/// The resource that carries the add-in library.
inline constexpr int kLibraryResourceId = 129;

}  // namespace tervane::installer
