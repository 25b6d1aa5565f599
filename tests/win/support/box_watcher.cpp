#include "tests/win/support/box_watcher.h"

#include <utility>

#include "addin/platform/win32/utf16.h"

namespace tervane::testing {
namespace {

HWND FindBox(DWORD thread) {
  HWND found = nullptr;
  ::EnumThreadWindows(
      thread,
      [](HWND window, LPARAM result) -> BOOL {
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (std::wstring_view(name) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string Text(HWND window) {
  wchar_t text[2048] = {};
  ::GetWindowTextW(window, text, 2048);
  return win32::Narrow(text);
}

}  // namespace

BoxWatcher::BoxWatcher() : thread_(::GetCurrentThreadId()), watcher_([this] { Watch(); }) {}

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
    HWND box = FindBox(thread_);
    if (!box) {
      ::Sleep(20);
      continue;
    }
    ::Sleep(50);  // let the box finish laying itself out
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    {
      std::lock_guard lock(mutex_);
      shown_.push_back({Text(box), win32::Narrow(text)});
    }
    const WPARAM answer = ::GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
    ::PostMessageW(box, WM_COMMAND, answer, 0);
    for (int i = 0; i < 200 && ::IsWindow(box); ++i) ::Sleep(10);
  }
}

}  // namespace tervane::testing
