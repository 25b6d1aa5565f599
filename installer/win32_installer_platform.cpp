#include "installer/win32_installer_platform.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "addin/platform/win32/later_functions.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "installer/installer_texts.h"

namespace tervane::installer {
namespace {

using win32::Narrow;
using win32::Widen;

constexpr DWORD kStillActive = 259;
constexpr DWORD kPollMilliseconds = 100;
// The longest path the wide functions take.
constexpr DWORD kLongestPath = 32768;

// A text that a function writes into a buffer whose size it reports first.
template <typename Read>
std::string ReadSizedText(Read read) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = read(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return Narrow(buffer);
    }
    buffer.resize(length + 1);
  }
}

// SHGetPathFromIDListEx (Vista on) names folders of any length; XP has only
// SHGetPathFromIDListW, which writes at most MAX_PATH characters.
std::optional<std::wstring> PathOfFolder(LPCITEMIDLIST folder) {
  using SHGetPathFromIDListExFn = BOOL(WINAPI*)(LPCITEMIDLIST, PWSTR, DWORD, int);
  const auto pathEx =
      win32::LaterFunction<SHGetPathFromIDListExFn>(L"shell32.dll", "SHGetPathFromIDListEx");
  std::wstring path(pathEx ? kLongestPath : MAX_PATH, L'\0');
  const BOOL named = pathEx ? pathEx(folder, path.data(), kLongestPath, 0)
                            : ::SHGetPathFromIDListW(folder, path.data());
  if (!named) return std::nullopt;
  path.resize(::wcslen(path.c_str()));
  return path;
}

MoveResult MoveWithFlags(std::string_view source, std::string_view target, DWORD flags,
                         DWORD& failure) {
  if (::MoveFileExW(Widen(source).c_str(), Widen(target).c_str(), flags)) return MoveResult::kDone;
  failure = ::GetLastError();
  switch (failure) {
    // A loaded library cannot be replaced; a file open without delete
    // sharing can be neither replaced nor renamed.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return MoveResult::kInUse;
    default:
      return MoveResult::kFailed;
  }
}

}  // namespace

bool Win32InstallerPlatform::ClaimSingleRun() {
  singleRun_.reset(::CreateMutexW(nullptr, TRUE, kSingleRunMutex));
  // Without a mutex at all nothing is known of other runs, and this one goes
  // on: refusing would stop every run.
  return !singleRun_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

bool Win32InstallerPlatform::AcquireShellAllocator() {
  return SUCCEEDED(::SHGetMalloc(shellAllocator_.ReleaseAndGetAddressOf()));
}

std::optional<std::string> Win32InstallerPlatform::ApplicationDataFolder() {
  LPITEMIDLIST folder = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &folder)) || !folder) {
    return std::nullopt;
  }
  std::optional<std::wstring> path = PathOfFolder(folder);
  shellAllocator_->Free(folder);
  if (!path) return std::nullopt;
  return Narrow(*path);
}

std::optional<PathAttributes> Win32InstallerPlatform::Attributes(std::string_view path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return PathAttributes{(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

std::optional<std::uint32_t> Win32InstallerPlatform::FileVersionMajorMinor(std::string_view path) {
  const std::wstring file = Widen(path);
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size + 1);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
      !fixed || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return fixed->dwFileVersionMS;
}

bool Win32InstallerPlatform::CreateFolder(std::string_view path) {
  return ::CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

std::optional<std::string> Win32InstallerPlatform::CarriedLibrary() {
  HRSRC resource = ::FindResourceExW(nullptr, L"FILE", MAKEINTRESOURCEW(kLibraryResourceId),
                                     MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (!resource) resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(kLibraryResourceId), L"FILE");
  if (!resource) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  const DWORD size = ::SizeofResource(nullptr, resource);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return std::nullopt;
  return std::string(static_cast<const char*>(bytes), size);
}

std::optional<std::string> Win32InstallerPlatform::CreateTemporaryFile(std::string_view folder) {
  const std::wstring base =
      Widen(folder) + L"\\~Tervane-" + std::to_wstring(::GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::wstring path = base + std::to_wstring(attempt) + L".tmp";
    win32::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return Narrow(path);
    lastFailure_ = ::GetLastError();
    if (lastFailure_ != ERROR_FILE_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

bool Win32InstallerPlatform::WriteFile(std::string_view path, std::string_view bytes) {
  win32::UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                       TRUNCATE_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr));
  if (!file) {
    lastFailure_ = ::GetLastError();
    return false;
  }
  std::size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1 << 20));
    DWORD done = 0;
    if (!::WriteFile(file.get(), bytes.data() + written, chunk, &done, nullptr)) {
      lastFailure_ = ::GetLastError();
      return false;
    }
    if (done == 0) {
      lastFailure_ = ERROR_DISK_FULL;  // a write that takes nothing: no room left
      return false;
    }
    written += done;
  }
  if (::FlushFileBuffers(file.get())) return true;
  lastFailure_ = ::GetLastError();
  return false;
}

MoveResult Win32InstallerPlatform::ReplaceFile(std::string_view source, std::string_view target) {
  return MoveWithFlags(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH,
                       lastFailure_);
}

MoveResult Win32InstallerPlatform::RenameFile(std::string_view source, std::string_view target) {
  return MoveWithFlags(source, target, MOVEFILE_WRITE_THROUGH, lastFailure_);
}

bool Win32InstallerPlatform::DeleteFile(std::string_view path) {
  return ::DeleteFileW(Widen(path).c_str()) != 0;
}

std::vector<std::string> Win32InstallerPlatform::FindFiles(std::string_view folder,
                                                           std::string_view pattern) {
  std::vector<std::string> paths;
  WIN32_FIND_DATAW found{};
  win32::UniqueFind search(
      ::FindFirstFileW((Widen(folder) + L"\\" + Widen(pattern)).c_str(), &found));
  if (!search) return paths;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      paths.push_back(std::string(folder) + "\\" + Narrow(found.cFileName));
    }
  } while (::FindNextFileW(search.get(), &found));
  return paths;
}

bool Win32InstallerPlatform::DeleteKeys(const std::vector<std::string>& keys) {
  bool deleted = true;
  for (const std::string& key : keys) {
    const LSTATUS status = ::SHDeleteKeyW(HKEY_CURRENT_USER, Widen(key).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) continue;
    lastFailure_ = static_cast<DWORD>(status);
    deleted = false;
  }
  return deleted;
}

std::string Win32InstallerPlatform::SystemFolder() {
  return ReadSizedText(
      [](wchar_t* buffer, UINT size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::string Win32InstallerPlatform::CurrentFolder() {
  return ReadSizedText(
      [](wchar_t* buffer, UINT size) { return ::GetCurrentDirectoryW(size, buffer); });
}

std::optional<std::uint32_t> Win32InstallerPlatform::RunAndWait(std::string_view program,
                                                                std::string_view commandLine,
                                                                std::string_view workingFolder) {
  std::wstring command = Widen(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_FORCEONFEEDBACK;
  PROCESS_INFORMATION process{};
  const std::wstring folder = Widen(workingFolder);
  if (!::CreateProcessW(Widen(program).c_str(), command.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    lastFailure_ = ::GetLastError();
    return std::nullopt;
  }
  const win32::UniqueHandleOwner processHandle(process.hProcess);
  const win32::UniqueHandleOwner threadHandle(process.hThread);
  DWORD exitCode = kStillActive;
  while (::GetExitCodeProcess(processHandle.get(), &exitCode) && exitCode == kStillActive) {
    ::Sleep(kPollMilliseconds);
  }
  return exitCode;
}

MsgAnswer Win32InstallerPlatform::Show(std::string_view text, MsgButtons buttons, MsgIcon icon,
                                       bool defaultSecond) {
  UINT flags = MB_SETFOREGROUND;
  switch (buttons) {
    case MsgButtons::kOk:
      flags |= MB_OK;
      break;
    case MsgButtons::kRetryCancel:
      flags |= MB_RETRYCANCEL;
      break;
    case MsgButtons::kYesNo:
      flags |= MB_YESNO;
      break;
    case MsgButtons::kYesNoCancel:
      flags |= MB_YESNOCANCEL;
      break;
  }
  switch (icon) {
    case MsgIcon::kNone:
      break;
    case MsgIcon::kStop:
      flags |= MB_ICONERROR;
      break;
    case MsgIcon::kQuestion:
      flags |= MB_ICONQUESTION;
      break;
    case MsgIcon::kInformation:
      flags |= MB_ICONINFORMATION;
      break;
  }
  if (defaultSecond) flags |= MB_DEFBUTTON2;
  switch (::MessageBoxW(nullptr, Widen(text).c_str(), Widen(texts::kTitle).c_str(), flags)) {
    case IDYES:
      return MsgAnswer::kYes;
    case IDNO:
      return MsgAnswer::kNo;
    case IDRETRY:
      return MsgAnswer::kRetry;
    case IDOK:
      return MsgAnswer::kOk;
    default:
      return MsgAnswer::kCancel;
  }
}

}  // namespace tervane::installer
