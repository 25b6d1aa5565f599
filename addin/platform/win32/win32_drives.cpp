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

bool IsShare(std::string_view text) { return text.starts_with("\\\\"); }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A drive letter, or a network share ("\\server\share"), which the lists
// treat as a drive of its own.
class Win32DriveInfo : public DriveInfo {
 public:
  explicit Win32DriveInfo(wchar_t letter) : root_{letter, L':', L'\\'}, name_(1, letter) {}
  explicit Win32DriveInfo(const std::wstring& share) : root_(share + L"\\"), name_(share) {}

  // Asking an empty removable drive must not make the system ask the user
  // to insert a medium. A share is ready when its folder can be reached.
  bool IsReady() override {
    const NoCriticalErrorBoxes quiet;
    if (name_.size() > 1) return IsFolder(root_);
    return ::GetVolumeInformationW(root_.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr,
                                   0) != FALSE;
  }
  int DriveType() override {
    return name_.size() > 1 ? TypeCode(DRIVE_REMOTE) : TypeCode(::GetDriveTypeW(root_.c_str()));
  }
  std::string DriveLetter() override { return Narrow(name_); }

 private:
  std::wstring root_;
  std::wstring name_;
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
  if (IsShare(spec)) return std::make_unique<Win32DriveInfo>(Widen(spec));
  const wchar_t letter = DriveLetterOf(spec);
  if (!DrivePresent(letter)) {
    throw Error(kErrDeviceUnavailable, "Device unavailable: " + std::string(spec));
  }
  return std::make_unique<Win32DriveInfo>(letter);
}

// "X:" alone names the drive's current folder; the system keeps it for
// drives other than the current one in the hidden variable "=X:".
std::string Win32DriveSystem::CurrentFolderOf(std::string_view spec) {
  // A share has no current folder of its own: the process's, when it lies
  // on the share, else the share's top ("\\server\share\").
  if (IsShare(spec)) {
    const std::wstring share = Widen(spec);
    const std::wstring current = CurrentDirectory();
    const bool onShare = current.size() >= share.size() &&
                         ::lstrcmpiW(current.substr(0, share.size()).c_str(), share.c_str()) == 0 &&
                         (current.size() == share.size() || current[share.size()] == L'\\');
    return onShare ? Narrow(current) : std::string(spec) + "\\";
  }
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
