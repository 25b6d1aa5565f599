// TervaneSetup.exe: no window of its own, message boxes only.
#include <windows.h>

#include "addin/platform/win32/later_functions.h"
#include "installer/installer.h"
#include "installer/installer_texts.h"
#include "installer/win32_installer_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tervane::win32::LimitLibrarySearchToSystemFolder();
  tervane::installer::Win32InstallerPlatform platform;
  try {
    return tervane::installer::InstallerMain(platform);
  } catch (...) {
    platform.Show(tervane::installer::texts::kM9Failed, tervane::MsgButtons::kOk,
                  tervane::MsgIcon::kStop, false);
    return -1;
  }
}
