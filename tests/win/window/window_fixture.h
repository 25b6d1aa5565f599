// The link builder dialog on the real Win32 platform, with a stand-in
// editor whose page lies in a fresh folder under C:. The window is driven
// with window messages as a user's mouse and keyboard would drive it, and
// the message boxes are answered by a watcher thread.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/platform/headless/recording_shell.h"
#include "addin/platform/win32/win32_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/win/support/box_watcher.h"

namespace tervane::testing {

/// Makes `path` (and its parents) and writes `contents` into it.
void WriteFile(const std::filesystem::path& path, const std::string& contents = "x");

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  /// Shows the dialog and finds its window and controls.
  void FindWindowAfterShow();
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

  std::filesystem::path site_;  // holds index.htm, top.jpg and img\ .
  std::string siteText_;        // site_ as the dialog shows it
  win32::Win32DriveSystem drives_;
  win32::Win32FileSystem files_;
  win32::Win32MessageBoxes boxes_;
  RecordingShell shell_;
  FakeEditor editor_;
  win32::Win32DialogViewFactory views_{::GetModuleHandleW(nullptr), drives_, files_, boxes_};
  Platform platform_{drives_, files_, boxes_, shell_, editor_, views_};
  frmCOMAddIn dialog_{platform_};
  BoxWatcher watcher_;
  HWND window_ = nullptr;
  std::vector<HWND> children_;  // in tab order
};

}  // namespace tervane::testing
