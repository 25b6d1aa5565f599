#include <string>

#include "addin/platform/error.h"
#include "addin/platform/win32/find_entries.h"
#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::win32 {

bool Win32FileSystem::FolderExists(std::string_view path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(FileApiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> Win32FileSystem::ListFiles(std::string_view folder) {
  std::vector<std::string> names;
  const bool read = ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    if (IsListedFile(entry)) names.push_back(Narrow(entry.cFileName));
  });
  if (!read) throw Error(kErrPathNotFound, "Path not found: " + std::string(folder));
  return names;
}

std::optional<std::string> Win32FileSystem::ReadSmallFile(std::string_view path,
                                                          std::size_t maxBytes) {
  UniqueFile file(::CreateFileW(FileApiPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(bytes.size() - done);
    if (!::ReadFile(file.get(), bytes.data() + done, want, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file shrank while being read
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

std::optional<std::string> Win32FileSystem::DecodeAnsi(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int length =
      ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return Narrow(wide);
}

}  // namespace tervane::win32
