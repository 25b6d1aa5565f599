#include "addin/platform/win32/find_entries.h"

#include <string>

#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {

bool ForEachEntry(std::string_view folder,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
  std::wstring pattern = FileApiPath(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW entry{};
  UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    visit(entry);
  } while (::FindNextFileW(find.get(), &entry));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace tervane::win32
