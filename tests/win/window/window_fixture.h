// The link builder dialog on the real Win32 platform, with a stand-in
// editor whose page lies in a fresh folder under C:. The window is driven
// with window messages as a user's mouse and keyboard would drive it, and
// the message boxes are answered by a watcher thread.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/platform/headless/recording_shell.h"
#include "addin/platform/win32/win32_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/win/support/box_watcher.h"
#include "tests/win/support/link_builder_window.h"
#include "tests/win/support/site_folder.h"

namespace tervane::testing {

// COM on the test's thread for the life of the window, as the editor's
// process has it: the window names some controls for screen readers through
// a COM service.
struct ComApartment {
  ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComApartment() { ::CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

class WindowTest : public ::testing::Test,
                   protected ComApartment,
                   protected SiteFolder,
                   protected LinkBuilderWindow {
 protected:
  WindowTest();
  ~WindowTest() override;

  /// Shows the dialog and finds its window and controls.
  void FindWindowAfterShow();

  win32::Win32DriveSystem drives_;
  win32::Win32FileSystem files_;
  win32::Win32MessageBoxes boxes_;
  RecordingShell shell_;
  FakeEditor editor_;
  win32::Win32DialogViewFactory views_{::GetModuleHandleW(nullptr), drives_, files_, boxes_};
  Platform platform_{drives_, files_, boxes_, shell_, editor_, views_};
  frmCOMAddIn dialog_{platform_};
  BoxWatcher watcher_;
};

}  // namespace tervane::testing
