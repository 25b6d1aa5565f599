// The link builder's window found among the calling thread's windows, and
// driven with window messages as a user's mouse and keyboard would drive
// it, whichever program made it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace tervane::testing {

class LinkBuilderWindow {
 public:
  /// The visible windows of `thread` (of this process or another) whose
  /// caption begins with the application title, message boxes aside.
  static std::vector<HWND> Open(DWORD thread = ::GetCurrentThreadId());

 protected:
  /// Finds the open window of `thread` and its controls.
  void Attach(DWORD thread = ::GetCurrentThreadId());
  /// A control by its name in the layout.
  HWND Control(std::string_view name) const;
  /// The texts of a list box's or combo box's items.
  static std::vector<std::string> Items(HWND control);
  /// The folder list entry under the cursor.
  std::string Dir1Entry() const;
  std::vector<std::string> SelectedFiles() const;

  void Click(std::string_view name) const;
  /// Double-clicks the folder list entry that reads `name`.
  void OpenFolder(std::string_view name) const;
  void SelectFiles(const std::vector<std::string>& names) const;
  /// Picks the drive whose item begins with `letter` in the drive list.
  void PickDrive(char letter) const;
  void PressKey(HWND target, WPARAM key, bool alt = false) const;
  /// Lets the window paint.
  static void PumpMessages(int milliseconds);

  HWND window_ = nullptr;
  std::vector<HWND> children_;  // in tab order
};

}  // namespace tervane::testing
