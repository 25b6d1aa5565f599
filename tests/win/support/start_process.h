// Starting a program in a Windows test. Under Wine, a process can end while
// Wine itself sets it up, before any of the program's code runs (its loader
// did not get the address range it needs, say), and more often on a loaded
// machine; CreateProcess then fails. Such a start is tried again, and each
// failure is written to standard error.
#pragma once

#include <windows.h>

#include <string>

namespace tervane::testing {

/// CreateProcessW of `command` with `startup`, inheriting the inheritable
/// handles when `inherit`, in `folder` (nullptr: this program's current
/// folder); up to three tries. False when the third fails too.
bool StartProcess(std::wstring command, STARTUPINFOW& startup, bool inherit, const wchar_t* folder,
                  PROCESS_INFORMATION& process);

}  // namespace tervane::testing
