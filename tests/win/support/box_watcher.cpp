#include "tests/win/support/box_watcher.h"

#include <utility>

#include "addin/platform/win32/utf16.h"

namespace tervane::testing {
// WM_GETTEXT rather than GetWindowTextW, which reads no control's text in
// another process.
std::string Caption(HWND window) {
  wchar_t text[2048] = {};
  ::SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
  return win32::Narrow(text);
}

namespace {

struct WindowSearch {
  bool isBox;
  std::vector<HWND> found;
};

// A named CALLBACK function: on i686 a lambda does not convert to the
// stdcall WNDENUMPROC.
BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (::IsWindowVisible(window) && (std::wstring_view(name) == L"#32770") == search.isBox) {
    search.found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> VisibleWindows(DWORD thread, bool isBox) {
  WindowSearch search{isBox, {}};
  ::EnumThreadWindows(thread, NoteVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BoxWatcher::BoxWatcher(DWORD thread) : thread_(thread), watcher_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  watcher_.join();
}

std::vector<ShownBox> BoxWatcher::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(shown_, {});
}

void BoxWatcher::Watch() {
  while (!stop_) {
    const std::vector<HWND> boxes = VisibleWindows(thread_, true);
    if (boxes.empty()) {
      ::Sleep(20);
      continue;
    }
    HWND box = boxes.front();
    ::Sleep(50);  // let the box finish laying itself out
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    {
      std::lock_guard lock(mutex_);
      shown_.push_back({Caption(box), win32::Narrow(text)});
    }
    const WPARAM answer = ::GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
    ::PostMessageW(box, WM_COMMAND, answer, 0);
    for (int i = 0; i < 200 && ::IsWindow(box); ++i) ::Sleep(10);
  }
}

}  // namespace tervane::testing
