// Tab, Shift+Tab, Alt+access keys and the arrow keys of option groups for a
// window that runs in its host's message loop, where no IsDialogMessage call
// does this for us. Each control is subclassed to pass these keys here; the
// order of the window's children is the tab order. As the dialog manager
// does, the keyboard brings up the focus rectangle and the access key
// underlines, which the system may hide until the keyboard is used.
#pragma once

#include <windows.h>

namespace tervane::win32 {

class KeyboardNavigation {
 public:
  explicit KeyboardNavigation(HWND window) : window_(window) {}
  KeyboardNavigation(const KeyboardNavigation&) = delete;
  KeyboardNavigation& operator=(const KeyboardNavigation&) = delete;

  /// Passes `control`'s Tab and Alt+key presses to this object while the
  /// control lives.
  void Attach(HWND control);

  /// Alt+`key`: the next control (after the focus, in tab order) whose
  /// caption marks `key` gets the focus; a label or frame hands it to the
  /// next control that takes it. A button, check box or option whose key is
  /// marked on no other control is also clicked. The click may destroy the
  /// window and this object. False when no caption marks `key`.
  bool AccessKey(wchar_t key);
  /// Moves the focus to the next (or previous) control that takes it. A
  /// group of options is entered at its chosen option (its first when none
  /// is chosen).
  void Tab(HWND from, bool backwards);
  /// Up/Left (`backwards`) or Down/Right on the option `from`: the focus
  /// moves to the previous or next option of its group, wrapping at the
  /// ends, and chooses it.
  void Arrow(HWND from, bool backwards);

  /// The window goes inactive: remembers the control that had the focus.
  void SaveFocus();
  /// The window becomes active: gives the focus back (to the first control
  /// the first time).
  void RestoreFocus();

 private:
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self) noexcept;
  void Focus(HWND control);
  /// Clears `cues` (UISF_HIDEFOCUS, UISF_HIDEACCEL) in the whole window.
  void ShowCues(WORD cues);
  /// Makes the chosen option of each group its only tab stop.
  void MarkChosenOptions() noexcept;

  HWND window_;
  HWND saved_ = nullptr;
};

/// The access key a caption marks with "&", upper case; 0 for none.
wchar_t AccessKeyOf(const wchar_t* caption);

}  // namespace tervane::win32
