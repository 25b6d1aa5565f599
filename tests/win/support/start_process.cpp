#include "tests/win/support/start_process.h"

#include <cstdio>

namespace tervane::testing {

bool StartProcess(std::wstring command, STARTUPINFOW& startup, bool inherit, const wchar_t* folder,
                  PROCESS_INFORMATION& process) {
  for (int attempt = 1; attempt <= 3; ++attempt) {
    // CreateProcessW may write into the command line it is given.
    std::wstring line = command;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, inherit, 0, nullptr, folder,
                         &startup, &process)) {
      return true;
    }
    std::fprintf(stderr, "%ls did not start (attempt %d, error %lu)\n", command.c_str(), attempt,
                 static_cast<unsigned long>(::GetLastError()));
  }
  return false;
}

}  // namespace tervane::testing
