#include "addin/platform/win32/drive_list.h"

#include <cwctype>

#include "addin/platform/error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {

wchar_t UpperLetter(wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); }

// What the list keys a drive by: its upper-case letter, or its share.
std::wstring DriveKey(std::string_view text) {
  const std::wstring spec = Widen(DriveSpecification(text, PathStyle::kWindows));
  if (spec.starts_with(L"\\\\")) return spec;
  return spec.empty() ? std::wstring() : std::wstring(1, UpperLetter(spec[0]));
}

// Only fixed drives are asked for their label: asking a removable or network
// drive can take long or fail.
std::wstring ItemText(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  std::wstring text{static_cast<wchar_t>(std::towlower(letter)), L':'};
  if (::GetDriveTypeW(root) != DRIVE_FIXED) return text;
  wchar_t label[MAX_PATH + 1] = {};
  if (::GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
      label[0] != L'\0') {
    text += L" [";
    text += label;
    text += L"]";
  }
  return text;
}

}  // namespace

Win32DriveList::Win32DriveList(HWND combo, DriveSystem& drives, DialogEvents& events,
                               std::string_view startFolder)
    : combo_(combo), drives_(drives), events_(events) {
  shown_ = DriveKey(startFolder);
  Refill();
}

std::string Win32DriveList::Drive() const {
  const LRESULT item = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  if (item < 0) return {};
  const LRESULT length = ::SendMessageW(combo_, CB_GETLBTEXTLEN, item, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  ::SendMessageW(combo_, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

void Win32DriveList::SetDrive(std::string_view text) {
  drives_.GetDrive(DriveSpecification(text, PathStyle::kWindows));  // refuses unknown drives
  const std::wstring drive = DriveKey(text);
  if (ItemOf(drive) < 0) {
    if (drive.starts_with(L"\\\\")) {
      Add(drive, drive);
    } else {
      Refill();
    }
  }
  const int item = ItemOf(drive);
  if (item < 0) throw Error(kErrDeviceUnavailable, "Device unavailable: " + std::string(text));
  if (drive == shown_) return;
  shown_ = drive;
  ::SendMessageW(combo_, CB_SETCURSEL, item, 0);
  events_.Drive1_Change();
}

void Win32DriveList::Picked() {
  const LRESULT item = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  if (item < 0) return;
  const auto key = static_cast<std::size_t>(::SendMessageW(combo_, CB_GETITEMDATA, item, 0));
  if (key >= keys_.size() || keys_[key] == shown_) return;
  shown_ = keys_[key];
  events_.Drive1_Change();
}

// The share shown stays listed after the letters, as the folder lists show
// it; other shares go.
void Win32DriveList::Refill() {
  ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  keys_.clear();
  const DWORD present = ::GetLogicalDrives();
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if ((present & (1u << (letter - L'A'))) == 0) continue;
    Add(std::wstring(1, letter), ItemText(letter));
  }
  if (shown_.starts_with(L"\\\\")) Add(shown_, shown_);
  ::SendMessageW(combo_, CB_SETCURSEL, ItemOf(shown_), 0);
}

void Win32DriveList::Restore(const std::wstring& drive) {
  shown_ = drive;
  if (ItemOf(drive) < 0 && drive.starts_with(L"\\\\")) Add(drive, drive);
  ::SendMessageW(combo_, CB_SETCURSEL, ItemOf(drive), 0);
}

void Win32DriveList::Add(const std::wstring& drive, const std::wstring& text) {
  const LRESULT item =
      ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageW(combo_, CB_SETITEMDATA, item, keys_.size());
  keys_.push_back(drive);
}

int Win32DriveList::ItemOf(const std::wstring& drive) const {
  const LRESULT count = ::SendMessageW(combo_, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; item < count; ++item) {
    const auto key = static_cast<std::size_t>(::SendMessageW(combo_, CB_GETITEMDATA, item, 0));
    if (key < keys_.size() && keys_[key] == drive) return static_cast<int>(item);
  }
  return -1;
}

}  // namespace tervane::win32
