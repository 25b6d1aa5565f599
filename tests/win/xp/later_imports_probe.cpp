// A program that imports, by name, functions that Windows XP SP3 lacks, beside
// one that it has: the post-link check must name each of the first and none
// of the second. Never run; only its import table matters.
#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

// Not declared for _WIN32_WINNT 0x0501, which is the point.
extern "C" {
__declspec(dllimport) ULONGLONG WINAPI GetTickCount64();
__declspec(dllimport) LONG WINAPI RegDeleteTreeW(HKEY, LPCWSTR);
__declspec(dllimport) BOOL WINAPI SetThreadErrorMode(DWORD, LPDWORD);
__declspec(dllimport) BOOL WINAPI SHGetPathFromIDListEx(LPCITEMIDLIST, PWSTR, DWORD, int);
}

int main() {
  const QITAB none[] = {{nullptr, 0}};
  void* object = nullptr;
  ::QISearch(nullptr, none, IID_IUnknown, &object);
  ::SetThreadErrorMode(0, nullptr);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"");
  wchar_t path[MAX_PATH];
  ::SHGetPathFromIDListEx(nullptr, path, MAX_PATH, 0);
  return static_cast<int>(::GetTickCount64() + ::GetTickCount());
}
