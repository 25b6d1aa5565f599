// TervaneSetup.exe: no window of its own, message boxes only.
#include <windows.h>

#include "installer/installer.h"
#include "installer/installer_texts.h"
#include "installer/win32_installer_platform.h"

namespace {

// Libraries loaded on demand come from the system folder only, never from
// the folder the installer was started in.
void LimitLibrarySearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  LimitLibrarySearchToSystemFolder();
  tervane::installer::Win32InstallerPlatform platform;
  try {
    return tervane::installer::InstallerMain(platform);
  } catch (...) {
    platform.Show(tervane::installer::texts::kM9Failed, tervane::MsgButtons::kOk,
                  tervane::MsgIcon::kStop, false);
    return -1;
  }
}
