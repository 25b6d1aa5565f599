#include "addin/connection/com/registration.h"

#include <shlwapi.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/connection/registration_data.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::com {
namespace {

using win32::UniqueKey;
using win32::Widen;

// The automation runtime's proxy for dual and dispatch interfaces.
constexpr std::wstring_view kAutomationProxy = L"{00020424-0000-0000-C000-000000000046}";
constexpr std::wstring_view kClasses = L"Software\\Classes\\";

struct Value {
  std::wstring name;  // empty: the key's default value
  std::optional<std::wstring> text;
  std::uint32_t number = 0;
};

struct KeyEntry {
  std::wstring path;  // relative to HKEY_CURRENT_USER
  std::vector<Value> values;
};

Value Text(std::wstring name, std::wstring text) { return {std::move(name), std::move(text), 0}; }
Value Number(std::wstring name, std::uint32_t number) {
  return {std::move(name), std::nullopt, number};
}

std::wstring W(std::string_view utf8) { return Widen(utf8); }

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::vector<KeyEntry> Entries(const std::wstring& modulePath) {
  const std::wstring classes(kClasses);
  const std::wstring clsidKey = classes + L"CLSID\\" + W(registration::kClassId);
  const std::wstring typeLibKey = classes + L"TypeLib\\" + W(registration::kTypeLibraryId) + L"\\" +
                                  W(registration::kTypeLibraryVersion);
  const std::wstring interfaceKey = classes + L"Interface\\" + W(registration::kDefaultInterfaceId);
  const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  return {
      {clsidKey, {Text(L"", W(registration::kClassName))}},
      {clsidKey + L"\\InprocServer32",
       {Text(L"", modulePath), Text(L"ThreadingModel", W(registration::kThreadingModel))}},
      {clsidKey + L"\\ProgID", {Text(L"", W(registration::kProgId))}},
      {clsidKey + L"\\TypeLib", {Text(L"", W(registration::kTypeLibraryId))}},
      {clsidKey + L"\\VERSION", {Text(L"", W(registration::kTypeLibraryVersion))}},
      {classes + W(registration::kProgId), {Text(L"", W(registration::kProgId))}},
      {classes + W(registration::kProgId) + L"\\CLSID", {Text(L"", W(registration::kClassId))}},
      {typeLibKey, {Text(L"", W(registration::kLibraryDescription))}},
      {typeLibKey + L"\\0\\" + platform, {Text(L"", modulePath)}},
      {typeLibKey + L"\\FLAGS", {Text(L"", L"0")}},
      {typeLibKey + L"\\HELPDIR", {Text(L"", FolderOf(modulePath))}},
      {interfaceKey, {Text(L"", W(registration::kDefaultInterfaceName))}},
      {interfaceKey + L"\\ProxyStubClsid", {Text(L"", std::wstring(kAutomationProxy))}},
      {interfaceKey + L"\\ProxyStubClsid32", {Text(L"", std::wstring(kAutomationProxy))}},
      {interfaceKey + L"\\TypeLib",
       {Text(L"", W(registration::kTypeLibraryId)),
        Text(L"Version", W(registration::kTypeLibraryVersion))}},
      {W(registration::AddInKey()),
       {Text(L"FriendlyName", W(registration::kFriendlyName)),
        Text(L"Description", W(registration::kDescription)),
        Number(L"LoadBehavior", registration::kLoadBehavior),
        Number(L"CommandLineSafe", registration::kCommandLineSafe)}},
  };
}

// What one registration changed, so that a failure can undo exactly that:
// the keys it created and what each value it wrote held before. Keys and
// values that were there already, from an earlier registration, stay.
class Journal {
 public:
  /// Opens `path`, creating every missing key on the way and noting it.
  LSTATUS CreateKey(const std::wstring& path, UniqueKey& key) {
    for (std::size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
      const std::wstring prefix = path.substr(0, end);
      DWORD disposition = 0;
      const LSTATUS status =
          ::RegCreateKeyExW(HKEY_CURRENT_USER, prefix.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.put(), &disposition);
      if (status != ERROR_SUCCESS) return status;
      if (disposition == REG_CREATED_NEW_KEY) created_.push_back(prefix);
      if (end == std::wstring::npos) return ERROR_SUCCESS;
    }
  }

  /// Notes what `name` holds in `key` (at `path`) before it is written.
  void NoteValue(HKEY key, const std::wstring& path, const std::wstring& name) {
    Earlier earlier{path, name, false, 0, {}};
    DWORD bytes = 0;
    const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
    if (::RegQueryValueExW(key, valueName, nullptr, &earlier.type, nullptr, &bytes) ==
        ERROR_SUCCESS) {
      earlier.data.resize(bytes);
      earlier.existed = ::RegQueryValueExW(key, valueName, nullptr, &earlier.type,
                                           earlier.data.data(), &bytes) == ERROR_SUCCESS;
    }
    values_.push_back(std::move(earlier));
  }

  void Undo() noexcept {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
      UniqueKey key;
      if (::RegOpenKeyExW(HKEY_CURRENT_USER, it->path.c_str(), 0, KEY_SET_VALUE, key.put()) !=
          ERROR_SUCCESS) {
        continue;
      }
      const wchar_t* name = it->name.empty() ? nullptr : it->name.c_str();
      if (it->existed) {
        ::RegSetValueExW(key.get(), name, 0, it->type, it->data.data(),
                         static_cast<DWORD>(it->data.size()));
      } else {
        ::RegDeleteValueW(key.get(), name);
      }
    }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      ::SHDeleteKeyW(HKEY_CURRENT_USER, it->c_str());
    }
  }

 private:
  struct Earlier {
    std::wstring path, name;
    bool existed;
    DWORD type;
    std::vector<BYTE> data;
  };
  std::vector<std::wstring> created_;
  std::vector<Earlier> values_;
};

LSTATUS WriteValue(HKEY key, const Value& value) {
  const wchar_t* name = value.name.empty() ? nullptr : value.name.c_str();
  if (value.text) {
    const DWORD bytes = static_cast<DWORD>((value.text->size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, name, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.text->c_str()), bytes);
  }
  const DWORD number = value.number;
  return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof(number));
}

HRESULT WriteEntry(const KeyEntry& entry, Journal& journal) {
  UniqueKey key;
  LSTATUS status = journal.CreateKey(entry.path, key);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  for (const Value& value : entry.values) {
    journal.NoteValue(key.get(), entry.path, value.name);
    status = WriteValue(key.get(), value);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

// The file's volume and index, which a short (8.3) name and a long one of
// the same file share; nullopt when it cannot be opened.
std::optional<std::pair<DWORD, std::uint64_t>> FileIdentity(const std::wstring& path) {
  const win32::UniqueFile file(::CreateFileW(path.c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!file || !::GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return std::make_pair(
      information.dwVolumeSerialNumber,
      std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow);
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  if (::lstrcmpiW(a.c_str(), b.c_str()) == 0) return true;
  const auto identityOfA = FileIdentity(a);
  return identityOfA && identityOfA == FileIdentity(b);
}

// Whether the class is registered for a file other than `modulePath`: then
// the keys are another copy's (the installed one, say), and unregistering
// this copy leaves them. Without a server path nothing names another copy,
// and what is left of the keys is ours to remove.
bool RegisteredForAnotherFile(const std::wstring& modulePath) {
  const std::wstring key =
      std::wstring(kClasses) + L"CLSID\\" + W(registration::kClassId) + L"\\InprocServer32";
  UniqueKey opened;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, opened.put()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(opened.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  // One more character than the value holds: a stored text need not end in
  // a NUL.
  std::wstring server(bytes / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(opened.get(), nullptr, nullptr, &type,
                         reinterpret_cast<BYTE*>(server.data()), &bytes) != ERROR_SUCCESS) {
    return false;
  }
  server.resize(::wcslen(server.c_str()));
  return !server.empty() && !SameFile(server, modulePath);
}

}  // namespace

HRESULT RegisterServer(const std::wstring& modulePath) noexcept {
  Journal journal;
  try {
    for (const KeyEntry& entry : Entries(modulePath)) {
      const HRESULT hr = WriteEntry(entry, journal);
      if (FAILED(hr)) {
        journal.Undo();
        return hr;
      }
    }
    return S_OK;
  } catch (...) {
    journal.Undo();
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer(const std::wstring& modulePath) noexcept {
  try {
    if (RegisteredForAnotherFile(modulePath)) return S_OK;
    HRESULT result = S_OK;
    for (const std::string& path : registration::OwnedKeys()) {
      // The key with everything below it.
      const LSTATUS status = ::SHDeleteKeyW(HKEY_CURRENT_USER, W(path).c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        result = HRESULT_FROM_WIN32(status);
      }
    }
    return result;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace tervane::com
