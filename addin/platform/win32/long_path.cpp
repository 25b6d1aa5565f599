#include "addin/platform/win32/long_path.h"

#include <windows.h>

#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {

// The longest path given as it is. Every call takes a folder of up to 247
// characters (room for an 8.3 name within MAX_PATH); this leaves room for
// more: the temporary file written beside a page adds up to 20 characters
// to the page's path.
constexpr std::size_t kLongestPlainPath = 200;

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(path.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;  // the call that uses it reports the fault
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

}  // namespace

std::wstring FileApiPath(std::string_view path) {
  std::wstring wide = Widen(path);
  if (wide.size() <= kLongestPlainPath || wide.starts_with(L"\\\\?\\")) return wide;
  wide = FullPath(wide);
  if (wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\")) return wide;
  if (wide.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

}  // namespace tervane::win32
