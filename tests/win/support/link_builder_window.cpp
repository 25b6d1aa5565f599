#include "tests/win/support/link_builder_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/utf16.h"
#include "tests/win/support/box_watcher.h"

namespace tervane::testing {
namespace {

// The control names of the layout, in tab order.
constexpr std::string_view kNames[] = {
    "Label4",  "Location", "LocationSetBtn", "GetPageInfo",  "Label1",     "Dir1",
    "Label2",  "File1",    "Label3",         "Filter0",      "Filter1",    "Filter2",
    "Filter3", "Frame",    "OptWithText",    "OptWithImg",   "OptImgOnly", "SelectAllBtn",
    "Reverse", "OKButton", "Drive1",         "CancelButton", "Label5"};

}  // namespace

std::vector<HWND> LinkBuilderWindow::Open(DWORD thread) {
  std::vector<HWND> open = VisibleWindows(thread, false);
  std::erase_if(open, [](HWND window) { return !Caption(window).starts_with(texts::kAppTitle); });
  return open;
}

void LinkBuilderWindow::Attach(DWORD thread) {
  const std::vector<HWND> open = Open(thread);
  window_ = open.empty() ? nullptr : open.front();
  children_.clear();
  for (HWND child = window_ ? ::GetWindow(window_, GW_CHILD) : nullptr; child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    children_.push_back(child);
  }
}

HWND LinkBuilderWindow::Control(std::string_view name) const {
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (kNames[i] == name && i < children_.size()) return children_[i];
  }
  ADD_FAILURE() << "no control " << name;
  return nullptr;
}

std::vector<std::string> LinkBuilderWindow::Items(HWND control) {
  wchar_t name[16] = {};
  ::GetClassNameW(control, name, 16);
  const bool combo = ::lstrcmpiW(name, L"ComboBox") == 0;
  const LRESULT count = ::SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  std::vector<std::string> items;
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[MAX_PATH] = {};
    ::SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(win32::Narrow(text));
  }
  return items;
}

std::string LinkBuilderWindow::Dir1Entry() const {
  const LRESULT item = ::SendMessageW(Control("Dir1"), LB_GETCURSEL, 0, 0);
  return item < 0 ? std::string() : Items(Control("Dir1")).at(static_cast<std::size_t>(item));
}

std::vector<std::string> LinkBuilderWindow::SelectedFiles() const {
  HWND list = Control("File1");
  std::vector<std::string> selected;
  const std::vector<std::string> items = Items(list);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (::SendMessageW(list, LB_GETSEL, i, 0) > 0) selected.push_back(items[i]);
  }
  return selected;
}

void LinkBuilderWindow::Click(std::string_view name) const {
  ::SendMessageW(Control(name), BM_CLICK, 0, 0);
}

void LinkBuilderWindow::OpenFolder(std::string_view name) const {
  HWND list = Control("Dir1");
  const std::vector<std::string> items = Items(list);
  const auto found = std::find(items.begin(), items.end(), name);
  ASSERT_NE(found, items.end()) << name;
  RECT item{};
  ::SendMessageW(list, LB_GETITEMRECT, found - items.begin(), reinterpret_cast<LPARAM>(&item));
  const LPARAM point = MAKELPARAM(item.left + 20, (item.top + item.bottom) / 2);
  ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::SendMessageW(list, WM_LBUTTONUP, 0, point);
  ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  ::SendMessageW(list, WM_LBUTTONUP, 0, point);
}

void LinkBuilderWindow::SelectFiles(const std::vector<std::string>& names) const {
  HWND list = Control("File1");
  const std::vector<std::string> items = Items(list);
  for (const std::string& name : names) {
    const auto found = std::find(items.begin(), items.end(), name);
    ASSERT_NE(found, items.end()) << name;
    ::SendMessageW(list, LB_SETSEL, TRUE, found - items.begin());
  }
}

void LinkBuilderWindow::PickDrive(char letter) const {
  HWND combo = Control("Drive1");
  const std::vector<std::string> items = Items(combo);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(items[i][0])) != std::tolower(letter)) continue;
    ::SendMessageW(combo, CB_SETCURSEL, i, 0);
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    return;
  }
  ADD_FAILURE() << "no drive " << letter;
}

void LinkBuilderWindow::PressKey(HWND target, WPARAM key, bool alt) const {
  const LPARAM altDown = alt ? (1 << 29) : 0;
  ::SendMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | altDown);
  if (alt) {
    ::SendMessageW(target, WM_SYSCHAR, key, 1 | altDown);
  } else if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB) {
    ::SendMessageW(target, WM_CHAR, key, 1);
  }
  ::SendMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | altDown | (3 << 30));
}

void LinkBuilderWindow::PumpMessages(int milliseconds) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
  while (::GetTickCount() < end) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(10);
  }
}

}  // namespace tervane::testing
