#include "addin/platform/win32/keyboard_navigation.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <vector>

namespace tervane::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;

bool IsButtonClass(HWND control, LONG_PTR* kind) {
  wchar_t name[16] = {};
  ::GetClassNameW(control, name, 16);
  *kind = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
  return ::lstrcmpiW(name, L"BUTTON") == 0;
}

bool IsOption(HWND control) {
  LONG_PTR kind = 0;
  return IsButtonClass(control, &kind) && (kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON);
}

bool IsChosen(HWND option) { return ::SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetTabStop(HWND control, bool tabStop) {
  const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
  const LONG_PTR wanted = tabStop ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
  if (wanted != style) ::SetWindowLongPtrW(control, GWL_STYLE, wanted);
}

wchar_t KeyOfWindow(HWND control) {
  wchar_t caption[128] = {};
  ::GetWindowTextW(control, caption, 128);
  return AccessKeyOf(caption);
}

}  // namespace

wchar_t AccessKeyOf(const wchar_t* caption) {
  for (const wchar_t* c = caption; *c != L'\0'; ++c) {
    if (*c != L'&') continue;
    if (c[1] == L'&') {
      ++c;
      continue;
    }
    return static_cast<wchar_t>(std::towupper(c[1]));
  }
  return 0;
}

void KeyboardNavigation::Attach(HWND control) {
  ::SetWindowSubclass(control, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

bool KeyboardNavigation::AccessKey(wchar_t key) {
  key = static_cast<wchar_t>(std::towupper(key));
  std::vector<HWND> marked;
  for (HWND child = ::GetWindow(window_, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::IsWindowEnabled(child) && KeyOfWindow(child) == key) marked.push_back(child);
  }
  if (marked.empty()) return false;

  // The first marked control after the one holding the focus, in tab order.
  HWND focus = ::GetFocus();
  HWND target = marked.front();
  bool passedFocus = false;
  for (HWND child = ::GetWindow(window_, GW_CHILD); child && focus;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (passedFocus && std::find(marked.begin(), marked.end(), child) != marked.end()) {
      target = child;
      break;
    }
    if (child == focus || ::IsChild(child, focus)) passedFocus = true;
  }

  ShowCues(UISF_HIDEFOCUS | UISF_HIDEACCEL);
  LONG_PTR kind = 0;
  const bool button = IsButtonClass(target, &kind);
  if (!button || kind == BS_GROUPBOX) {
    MarkChosenOptions();
    Focus(::GetNextDlgTabItem(window_, target, FALSE));
    return true;
  }
  Focus(target);
  if (marked.size() == 1) ::SendMessageW(target, BM_CLICK, 0, 0);
  return true;
}

void KeyboardNavigation::Tab(HWND from, bool backwards) {
  ShowCues(UISF_HIDEFOCUS);
  MarkChosenOptions();
  Focus(::GetNextDlgTabItem(window_, from, backwards ? TRUE : FALSE));
}

void KeyboardNavigation::Arrow(HWND from, bool backwards) {
  HWND next = ::GetNextDlgGroupItem(window_, from, backwards ? TRUE : FALSE);
  if (!next || !IsOption(next)) return;
  ShowCues(UISF_HIDEFOCUS);
  Focus(next);
  // A click, as the mouse gives it: the option checks itself and clears the
  // others of its group.
  if (!IsChosen(next)) ::SendMessageW(next, BM_CLICK, 0, 0);
}

// The options are clicked by the mouse, set by the program and moved by the
// arrow keys, so the tab stops are brought up to date just before Tab needs
// them rather than at each of those places.
void KeyboardNavigation::MarkChosenOptions() noexcept {
  HWND child = ::GetWindow(window_, GW_CHILD);
  while (child) {
    if (!IsOption(child)) {
      child = ::GetWindow(child, GW_HWNDNEXT);
      continue;
    }
    // A group runs from this option to the next control that is no option or
    // starts a group of its own.
    HWND first = child;
    HWND chosen = nullptr;
    do {
      if (!chosen && IsChosen(child)) chosen = child;
      child = ::GetWindow(child, GW_HWNDNEXT);
    } while (child && IsOption(child) && !(::GetWindowLongPtrW(child, GWL_STYLE) & WS_GROUP));
    for (HWND option = first; option != child; option = ::GetWindow(option, GW_HWNDNEXT)) {
      SetTabStop(option, option == (chosen ? chosen : first));
    }
  }
}

void KeyboardNavigation::SaveFocus() {
  HWND focus = ::GetFocus();
  if (focus && ::IsChild(window_, focus)) saved_ = focus;
}

void KeyboardNavigation::RestoreFocus() {
  MarkChosenOptions();
  Focus(saved_ && ::IsWindow(saved_) ? saved_ : ::GetNextDlgTabItem(window_, nullptr, FALSE));
}

void KeyboardNavigation::Focus(HWND control) {
  if (!control) return;
  ::SetFocus(control);
  if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    ::SendMessageW(control, EM_SETSEL, 0, -1);
  }
}

void KeyboardNavigation::ShowCues(WORD cues) {
  ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, cues), 0);
}

LRESULT CALLBACK KeyboardNavigation::ControlProc(HWND control, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR self) noexcept {
  auto& navigation = *reinterpret_cast<KeyboardNavigation*>(self);
  try {
    switch (message) {
      case WM_KEYDOWN:
        if (wParam == VK_TAB) {
          navigation.Tab(control, ::GetKeyState(VK_SHIFT) < 0);
          return 0;
        }
        if ((wParam == VK_UP || wParam == VK_LEFT || wParam == VK_DOWN || wParam == VK_RIGHT) &&
            IsOption(control)) {
          navigation.Arrow(control, wParam == VK_UP || wParam == VK_LEFT);
          return 0;
        }
        break;
      case WM_CHAR:
        if (wParam == L'\t') return 0;  // no beep for the Tab handled above
        break;
      case WM_SYSKEYDOWN:  // Alt shows which keys there are
        navigation.ShowCues(UISF_HIDEACCEL);
        break;
      case WM_SYSCHAR:
        if (navigation.AccessKey(static_cast<wchar_t>(wParam))) return 0;
        break;
      case WM_NCDESTROY:
        ::RemoveWindowSubclass(control, ControlProc, kSubclassId);
        break;
    }
  } catch (...) {
    // The key goes to the control as if it had not been looked at.
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace tervane::win32
