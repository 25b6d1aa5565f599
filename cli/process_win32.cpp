#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>

#include "addin/platform/win32/long_path.h"
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

std::string FullPath(const std::string& path) {
  const std::wstring wide = win32::Widen(path);
  std::wstring full(wide.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;  // the call that uses it reports the fault
    if (length < full.size()) {
      full.resize(length);
      return win32::Narrow(full);
    }
    full.resize(length);
  }
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(win32::FileApiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tervane::cli
