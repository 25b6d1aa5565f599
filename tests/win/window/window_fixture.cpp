#include "tests/win/window/window_fixture.h"

#include <fstream>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/dialog_window.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::testing {
namespace {

// The control names of the layout, in tab order.
constexpr std::string_view kNames[] = {
    "Label4",  "Location", "LocationSetBtn", "GetPageInfo",  "Label1",     "Dir1",
    "Label2",  "File1",    "Label3",         "Filter0",      "Filter1",    "Filter2",
    "Filter3", "Frame",    "OptWithText",    "OptWithImg",   "OptImgOnly", "SelectAllBtn",
    "Reverse", "OKButton", "Drive1",         "CancelButton", "Label5"};

std::filesystem::path FreshFolder() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  static int count = 0;
  std::filesystem::path folder =
      std::filesystem::path(temp) / (L"tervane-window-" + std::to_wstring(::GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(++count));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

void WriteFile(const std::filesystem::path& path, const std::string& contents) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

WindowTest::WindowTest() : site_(FreshFolder()), siteText_(win32::Narrow(site_.wstring())) {
  WriteFile(site_ / "index.htm", "<html><body></body></html>");
  WriteFile(site_ / "top.jpg");
  WriteFile(site_ / "img" / "a.jpg");
  WriteFile(site_ / "img" / "B.png");
  WriteFile(site_ / "img" / "c.gif");
  WriteFile(site_ / "img" / "d.txt");
  WriteFile(site_ / "img" / "link.url", "[InternetShortcut]\r\nURL=http://example.com/\r\n");
  WriteFile(site_ / "img" / "hidden.jpg");
  ::SetFileAttributesW((site_ / "img" / "hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
  std::filesystem::create_directories(site_ / "img" / "sub");
  std::filesystem::create_directories(site_ / "img" / "zz");

  std::string address = "file:///" + siteText_ + "\\index.htm";
  for (char& c : address) c = c == '\\' ? '/' : c;
  editor_.page = FakeEditor::Page{address, "Top", address, {}, {}, {}, {}};
  ::SetCurrentDirectoryW(site_.c_str());  // the process's current drive is C:

  FindWindowAfterShow();
}

void WindowTest::FindWindowAfterShow() {
  dialog_.Show();
  window_ = ::FindWindowW(win32::kDialogWindowClass, nullptr);
  children_.clear();
  for (HWND child = ::GetWindow(window_, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    children_.push_back(child);
  }
  PumpMessages(50);
}

WindowTest::~WindowTest() {
  dialog_.Unload();
  ::SetCurrentDirectoryW(L"C:\\");
  std::error_code ignored;
  ::SetFileAttributesW((site_ / "img" / "hidden.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(site_, ignored);
}

HWND WindowTest::Control(std::string_view name) const {
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (kNames[i] == name && i < children_.size()) return children_[i];
  }
  ADD_FAILURE() << "no control " << name;
  return nullptr;
}

std::vector<std::string> WindowTest::Items(HWND control) {
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

std::string WindowTest::Dir1Entry() const {
  const LRESULT item = ::SendMessageW(Control("Dir1"), LB_GETCURSEL, 0, 0);
  return item < 0 ? std::string() : Items(Control("Dir1")).at(static_cast<std::size_t>(item));
}

std::vector<std::string> WindowTest::SelectedFiles() const {
  HWND list = Control("File1");
  std::vector<std::string> selected;
  const std::vector<std::string> items = Items(list);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (::SendMessageW(list, LB_GETSEL, i, 0) > 0) selected.push_back(items[i]);
  }
  return selected;
}

void WindowTest::Click(std::string_view name) const {
  ::SendMessageW(Control(name), BM_CLICK, 0, 0);
}

void WindowTest::OpenFolder(std::string_view name) const {
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

void WindowTest::SelectFiles(const std::vector<std::string>& names) const {
  HWND list = Control("File1");
  const std::vector<std::string> items = Items(list);
  for (const std::string& name : names) {
    const auto found = std::find(items.begin(), items.end(), name);
    ASSERT_NE(found, items.end()) << name;
    ::SendMessageW(list, LB_SETSEL, TRUE, found - items.begin());
  }
}

void WindowTest::PickDrive(char letter) const {
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

void WindowTest::PressKey(HWND target, WPARAM key, bool alt) const {
  const LPARAM altDown = alt ? (1 << 29) : 0;
  ::SendMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | altDown);
  if (alt) {
    ::SendMessageW(target, WM_SYSCHAR, key, 1 | altDown);
  } else if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB) {
    ::SendMessageW(target, WM_CHAR, key, 1);
  }
  ::SendMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | altDown | (3 << 30));
}

void WindowTest::PumpMessages(int milliseconds) {
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
