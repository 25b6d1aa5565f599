// The entries of one folder, as FindFirstFileExW reports them.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

namespace tervane::win32 {

/// Calls `visit` for every entry of `folder` except "." and "..". Returns
/// false when the folder cannot be read (an empty folder reads fine).
bool ForEachEntry(std::string_view folder,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit);

/// Folders, hidden and system entries: what a file list leaves out.
inline bool IsListedFile(const WIN32_FIND_DATAW& entry) {
  constexpr DWORD kLeftOut =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (entry.dwFileAttributes & kLeftOut) == 0;
}

/// A folder that a folder list shows: not hidden, not system.
inline bool IsListedFolder(const WIN32_FIND_DATAW& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

}  // namespace tervane::win32
