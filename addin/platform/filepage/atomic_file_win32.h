// The call that puts the new page in the old one's place on Windows, which
// tests replace to make it fail as ReplaceFileW fails when another program
// (a virus scanner, the search indexer, a sync client) holds one of the files.
#pragma once

#include <windows.h>

namespace tervane::win32 {

using ReplaceFileFunction = BOOL(WINAPI*)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup,
                                          DWORD flags, LPVOID exclude, LPVOID reserved);

/// ReplaceFileW unless a test set another.
extern ReplaceFileFunction replaceFile;

}  // namespace tervane::win32
