#include "addin/platform/win32/simple_controls.h"

#include "addin/platform/error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {
constexpr std::int32_t kErrInvalidPropertyValue = 380;
}  // namespace

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

std::string Win32TextBox::Text() const { return WindowText(window_); }

void Win32TextBox::SetText(std::string_view text) {
  ::SetWindowTextW(window_, Widen(text).c_str());
}

void Win32CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) throw Error(kErrInvalidPropertyValue, "Invalid property value");
  if (value == value_) return;
  value_ = value;
  const WPARAM state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
  ::SendMessageW(window_, BM_SETCHECK, state, 0);
  events_.Filter_Click(index_);
}

bool Win32OptionButton::Value() const {
  return ::SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32OptionButton::SetValue(bool value) {
  if (!value) {
    ::SendMessageW(window_, BM_SETCHECK, BST_UNCHECKED, 0);
    return;
  }
  for (HWND option : group_) {
    ::SendMessageW(option, BM_SETCHECK, option == window_ ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

}  // namespace tervane::win32
