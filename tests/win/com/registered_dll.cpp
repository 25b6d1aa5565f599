#include "tests/win/com/registered_dll.h"

#include <ole2.h>

namespace tervane::testing {

std::wstring AddInPath() {
  wchar_t program[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path(program);
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"Tervane.dll";
}

DWORD RunRegsvr32(const std::wstring& flag, const std::wstring& library) {
  std::wstring command =
      L"regsvr32.exe /s " + (flag.empty() ? L"" : flag + L" ") + L"\"" + library + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = static_cast<DWORD>(-1);
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return code;
}

bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

namespace {
std::optional<std::wstring> PerUserDefault(const std::wstring& key) {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD bytes = sizeof(buffer);
  const std::wstring path = L"Software\\Classes\\" + key;
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer,
                     &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}
}  // namespace

std::optional<CLSID> PerUserClassOf(const std::wstring& progId) {
  const std::optional<std::wstring> text = PerUserDefault(progId + L"\\CLSID");
  CLSID clsid{};
  if (!text || FAILED(::CLSIDFromString(text->c_str(), &clsid))) return std::nullopt;
  return clsid;
}

HRESULT CreatePerUserObject(const CLSID& clsid, REFIID riid, void** object) {
  const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, object);
  if (SUCCEEDED(hr) || !RunningUnderWine()) return hr;
  wchar_t text[64] = {};
  ::StringFromGUID2(clsid, text, 64);
  const std::optional<std::wstring> server =
      PerUserDefault(std::wstring(L"CLSID\\") + text + L"\\InprocServer32");
  if (!server) return REGDB_E_CLASSNOTREG;
  // Stays loaded for the program's life, as the runtime keeps it until
  // CoFreeUnusedLibraries.
  HMODULE module = ::LoadLibraryW(server->c_str());
  if (!module) return HRESULT_FROM_WIN32(::GetLastError());
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  if (!getClassObject) return E_NOINTERFACE;
  IClassFactory* factory = nullptr;
  HRESULT created = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(created)) return created;
  created = factory->CreateInstance(nullptr, riid, object);
  factory->Release();
  return created;
}

}  // namespace tervane::testing
