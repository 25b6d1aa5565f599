#include <windows.h>

#include <algorithm>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/filepage/page_file.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"

namespace tervane {

namespace {

std::int32_t ReadErrorNumber(DWORD cause) {
  if (cause == ERROR_FILE_NOT_FOUND) return kErrFileNotFound;
  if (cause == ERROR_PATH_NOT_FOUND || cause == ERROR_INVALID_NAME) return kErrPathNotFound;
  return kErrPathFileAccess;
}

PageIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
          (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
          static_cast<std::int64_t>(
              (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
              info.ftLastWriteTime.dwLowDateTime)};
}

}  // namespace

std::optional<PageIdentity> PageIdentityAt(const std::string& path) {
  const win32::UniqueFile file(::CreateFileW(win32::Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return IdentityOf(info);
}

void ThrowPageReadError(const std::string& path, unsigned long cause) {
  const DWORD attributes = ::GetFileAttributesW(win32::FileApiPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw Error(kErrPathFileAccess, "Cannot read " + path + ": it is a folder");
  }
  throw Error(ReadErrorNumber(cause),
              "Cannot read " + path + ": " + win32::SystemMessage(HRESULT_FROM_WIN32(cause)),
              cause);
}

std::string AbsolutePagePath(const std::string& path) {
  if (path.empty()) return path;
  const std::wstring wide = win32::Widen(path);
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) ThrowPageReadError(path, ::GetLastError());
    if (length < full.size()) {
      full.resize(length);
      return win32::Narrow(full);
    }
    full.resize(length);
  }
}

std::string PageFileUrl(const std::string& absolutePath) {
  // A page on a share names its server as the address's host:
  // \\nas\web\p.htm is file://nas/web/p.htm.
  std::string url =
      absolutePath.starts_with("\\\\") ? "file:" + absolutePath : "file:///" + absolutePath;
  for (char& c : url) {
    if (c == '\\') c = '/';
  }
  return url;
}

std::string ReadPageFile(const std::string& path, std::size_t maxBytes, PageIdentity* identity) {
  // Sharing delete access lets another run replace the page while this one
  // reads it; this one goes on reading the page as it was.
  const win32::UniqueFile file(::CreateFileW(win32::FileApiPath(path).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
  if (!file) ThrowPageReadError(path, ::GetLastError());
  // A device name (CON, NUL, COM1) or a pipe is no page.
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    throw Error(kErrPathFileAccess, "Cannot read " + path + ": not a regular file");
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info)) ThrowPageReadError(path, ::GetLastError());
  if (identity != nullptr) *identity = IdentityOf(info);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) ThrowPageReadError(path, ::GetLastError());
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    throw Error(kErrPathFileAccess, "Cannot read " + path + ": the page is too large (" +
                                        std::to_string(size.QuadPart >> 20) + " MiB; pages up to " +
                                        std::to_string(maxBytes >> 20) + " MiB are read)");
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char chunk[64 * 1024];
  for (;;) {
    DWORD count = 0;
    const auto wanted = static_cast<DWORD>(std::min(sizeof chunk, maxBytes + 1 - bytes.size()));
    if (!::ReadFile(file.get(), chunk, wanted, &count, nullptr)) {
      ThrowPageReadError(path, ::GetLastError());
    }
    if (count == 0) break;
    bytes.append(chunk, count);
    if (bytes.size() > maxBytes) {
      throw Error(kErrPathFileAccess, "Cannot read " + path + ": the page is too large");
    }
  }
  return bytes;
}

}  // namespace tervane
