// The text box, the Filter check boxes and the option buttons over their
// windows. The windows belong to the dialog window; these only talk to them.
#pragma once

#include <windows.h>

#include <array>

#include "addin/platform/controls.h"
#include "addin/platform/dialog_view.h"

namespace tervane::win32 {

class Win32TextBox : public TextBox {
 public:
  explicit Win32TextBox(HWND window) : window_(window) {}
  std::string Text() const override;
  void SetText(std::string_view text) override;

 private:
  HWND window_;
};

/// One box of the Filter array. The box does not tick itself: a user's click
/// and a value set by the program both go through SetValue and raise
/// Filter_Click(index).
class Win32CheckBox : public CheckBox {
 public:
  Win32CheckBox(HWND window, DialogEvents& events, int index)
      : window_(window), events_(events), index_(index) {}
  /// 0 clear, 1 ticked, 2 greyed.
  int Value() const override { return value_; }
  void SetValue(int value) override;
  /// A click by the user: ticks a clear box, clears any other.
  void Click() { SetValue(value_ == 0 ? 1 : 0); }

 private:
  HWND window_;
  DialogEvents& events_;
  int index_;
  int value_ = 0;
};

/// One option of a group of three; choosing one clears the others.
class Win32OptionButton : public OptionButton {
 public:
  Win32OptionButton(HWND window, const std::array<HWND, 3>& group)
      : window_(window), group_(group) {}
  bool Value() const override;
  void SetValue(bool value) override;

 private:
  HWND window_;
  std::array<HWND, 3> group_;
};

/// The text of a window, UTF-8.
std::string WindowText(HWND window);

}  // namespace tervane::win32
