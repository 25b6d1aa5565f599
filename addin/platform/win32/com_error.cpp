#include "addin/platform/win32/com_error.h"

#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {

std::string SystemMessage(HRESULT hr) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) {
    char hex[16];
    wsprintfA(hex, "0x%08lX", static_cast<unsigned long>(hr));
    return std::string("error ") + hex;
  }
  return Narrow(text);
}

void ThrowIfFailed(HRESULT hr, std::string_view context) {
  if (SUCCEEDED(hr)) return;
  throw Error(static_cast<std::int32_t>(hr), std::string(context) + ": " + SystemMessage(hr));
}

void ThrowLastError(std::string_view context) {
  const DWORD code = ::GetLastError();
  throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(code)),
              std::string(context) + ": " + SystemMessage(HRESULT_FROM_WIN32(code)));
}

}  // namespace tervane::win32
