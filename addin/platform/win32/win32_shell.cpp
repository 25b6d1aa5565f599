// <shellapi.h> needs <windows.h> before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "addin/platform/win32/utf16.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::win32 {

void Win32Shell::Open(std::string_view address) {
  ::ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tervane::win32
