#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>

#include "addin/platform/win32/utf16.h"
#include "cli/process.h"

namespace tervane::cli {

namespace {

UINT savedOutputCodePage = 0;

void RestoreConsole() { ::SetConsoleOutputCP(savedOutputCodePage); }

}  // namespace

std::vector<std::string> StartProcess(int argc, char** argv) {
  savedOutputCodePage = ::GetConsoleOutputCP();
  if (savedOutputCodePage != 0 && savedOutputCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(RestoreConsole);
  }

  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(win32::Narrow(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace tervane::cli
