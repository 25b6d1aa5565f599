#include <cwctype>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/later_functions.h"
#include "addin/platform/win32/utf16.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::win32 {
namespace {

// The letter of a text that begins with a drive letter, upper case; 0 when
// the text does not begin with one.
wchar_t DriveLetterOf(std::string_view text) {
  if (text.empty()) return 0;
  const auto c = static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(text[0])));
  return (c >= L'A' && c <= L'Z') ? c : 0;
}

bool DrivePresent(wchar_t letter) {
  return letter != 0 && (::GetLogicalDrives() & (1u << (letter - L'A'))) != 0;
}

// The type codes of the file-system object.
int TypeCode(UINT type) {
  switch (type) {
    case DRIVE_REMOVABLE:
      return 1;
    case DRIVE_FIXED:
      return 2;
    case DRIVE_REMOTE:
      return 3;
    case DRIVE_CDROM:
      return 4;
    case DRIVE_RAMDISK:
      return 5;
    default:
      return 0;
  }
}

class Win32DriveInfo : public DriveInfo {
 public:
  explicit Win32DriveInfo(wchar_t letter) : root_{letter, L':', L'\\', L'\0'} {}

  // Asking an empty removable drive must not make the system ask the user
  // to insert a medium.
  bool IsReady() override {
    const NoCriticalErrorBoxes quiet;
    return ::GetVolumeInformationW(root_, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) !=
           FALSE;
  }
  int DriveType() override { return TypeCode(::GetDriveTypeW(root_)); }
  std::string DriveLetter() override { return Narrow(std::wstring_view(root_, 1)); }

 private:
  wchar_t root_[4];
};

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) ThrowLastError("GetFullPathNameW");
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) ThrowLastError("GetFullPathNameW");
  full.resize(length);
  return full;
}

std::wstring CurrentDirectory() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) ThrowLastError("GetCurrentDirectoryW");
  std::wstring folder(needed, L'\0');
  const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
  if (length == 0 || length >= needed) ThrowLastError("GetCurrentDirectoryW");
  folder.resize(length);
  return folder;
}

}  // namespace

std::unique_ptr<DriveInfo> Win32DriveSystem::GetDrive(std::string_view spec) {
  const wchar_t letter = DriveLetterOf(spec);
  if (!DrivePresent(letter)) {
    throw Error(kErrDeviceUnavailable, "Device unavailable: " + std::string(spec));
  }
  return std::make_unique<Win32DriveInfo>(letter);
}

// "X:" alone names the drive's current folder; the system keeps it for
// drives other than the current one in the hidden variable "=X:".
std::string Win32DriveSystem::CurrentFolderOf(std::string_view spec) {
  const wchar_t letter = DriveLetterOf(spec);
  if (!DrivePresent(letter)) {
    throw Error(kErrDeviceUnavailable, "Device unavailable: " + std::string(spec));
  }
  std::wstring folder = FullPath(std::wstring{letter, L':'});
  if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();  // Wine adds one
  return Narrow(folder);
}

std::string Win32DriveSystem::CurrentFolder() { return Narrow(CurrentDirectory()); }

void Win32DriveSystem::MakeCurrent(std::string_view folder) {
  const std::wstring path = FullPath(Widen(folder));
  const wchar_t letter = path.size() >= 2 && path[1] == L':' ? std::towupper(path[0]) : 0;
  const std::wstring current = CurrentDirectory();
  const wchar_t currentLetter =
      current.size() >= 2 && current[1] == L':' ? std::towupper(current[0]) : 0;
  if (letter == 0 || letter == currentLetter) {
    if (!::SetCurrentDirectoryW(path.c_str())) ThrowLastError("SetCurrentDirectoryW");
    return;
  }
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw Error(kErrPathNotFound, "Path not found: " + std::string(folder));
  }
  const std::wstring variable{L'=', letter, L':'};
  if (!::SetEnvironmentVariableW(variable.c_str(), path.c_str())) {
    ThrowLastError("SetEnvironmentVariableW");
  }
}

}  // namespace tervane::win32
