// TervaneWindow.exe: a program of the Windows subsystem, no console. A page
// dropped on its icon arrives as its argument.
#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/utf16.h"
#include "window/run_window.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
  // COM for the shell and for the names that screen readers announce.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct ComEnd {
    bool started;
    ~ComEnd() {
      if (started) ::CoUninitialize();
    }
  } const comEnd{SUCCEEDED(com)};
  try {
    // The arguments as UTF-16, whatever the ANSI code page; the program's
    // own name left out.
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
      for (int i = 1; i < count; ++i) arguments.push_back(tervane::win32::Narrow(wide[i]));
      ::LocalFree(wide);
    }
    return tervane::window::RunWindow(module, arguments);
  } catch (...) {
    ::MessageBoxW(nullptr, tervane::win32::Widen(tervane::texts::kDialogFailure).c_str(),
                  tervane::win32::Widen(tervane::texts::kAppTitle).c_str(),
                  MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    return tervane::window::kExitPage;
  }
}
