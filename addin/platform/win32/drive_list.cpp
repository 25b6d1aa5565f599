#include "addin/platform/win32/drive_list.h"

#include <cwctype>

#include "addin/platform/error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {

wchar_t UpperLetter(wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); }

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
  const std::wstring start = Widen(startFolder);
  shown_ = start.empty() ? 0 : UpperLetter(start[0]);
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
  const wchar_t letter = UpperLetter(Widen(text.substr(0, 1)).front());
  if (ItemOf(letter) < 0) Refill();
  const int item = ItemOf(letter);
  if (item < 0) throw Error(kErrDeviceUnavailable, "Device unavailable: " + std::string(text));
  if (letter == shown_) return;
  shown_ = letter;
  ::SendMessageW(combo_, CB_SETCURSEL, item, 0);
  events_.Drive1_Change();
}

void Win32DriveList::Picked() {
  const LRESULT item = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  if (item < 0) return;
  const wchar_t letter = static_cast<wchar_t>(::SendMessageW(combo_, CB_GETITEMDATA, item, 0));
  if (letter == shown_) return;
  shown_ = letter;
  events_.Drive1_Change();
}

void Win32DriveList::Refill() {
  ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  const DWORD present = ::GetLogicalDrives();
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if ((present & (1u << (letter - L'A'))) == 0) continue;
    const LRESULT item =
        ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ItemText(letter).c_str()));
    ::SendMessageW(combo_, CB_SETITEMDATA, item, letter);
  }
  ::SendMessageW(combo_, CB_SETCURSEL, ItemOf(shown_), 0);
}

void Win32DriveList::Restore(wchar_t letter) {
  shown_ = letter;
  ::SendMessageW(combo_, CB_SETCURSEL, ItemOf(letter), 0);
}

int Win32DriveList::ItemOf(wchar_t letter) const {
  const LRESULT count = ::SendMessageW(combo_, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; item < count; ++item) {
    if (static_cast<wchar_t>(::SendMessageW(combo_, CB_GETITEMDATA, item, 0)) == letter) {
      return static_cast<int>(item);
    }
  }
  return -1;
}

}  // namespace tervane::win32
