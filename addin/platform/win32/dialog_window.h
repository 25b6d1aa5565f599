// The link builder's real window: a modeless, ownerless, fixed-size
// top-level window holding the controls of the layout table. Its window
// procedure turns the messages of the controls into calls on DialogEvents;
// the controls themselves live in their own classes.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"
#include "addin/platform/file_system.h"
#include "addin/platform/message_box.h"
#include "addin/platform/win32/dialog_layout.h"
#include "addin/platform/win32/drive_list.h"
#include "addin/platform/win32/event_owner.h"
#include "addin/platform/win32/file_list.h"
#include "addin/platform/win32/folder_list.h"
#include "addin/platform/win32/keyboard_navigation.h"
#include "addin/platform/win32/simple_controls.h"
#include "addin/platform/win32/unique_handle.h"

namespace tervane::win32 {

/// The window class of the link builder. Each view factory registers it at
/// its start and unregisters it at its end; the class is registered with the
/// first and removed with the last, so that any number of factories (one per
/// connection object) share it.
inline constexpr wchar_t kDialogWindowClass[] = L"TervaneLinkBuilder";
void RegisterDialogWindowClass(HINSTANCE module);
void UnregisterDialogWindowClass(HINSTANCE module);

class DialogWindow : public DialogView {
 public:
  /// Creates the window hidden, with its controls in their layout state.
  DialogWindow(HINSTANCE module, DriveSystem& drives, FileSystem& files, MessageBoxes& boxes,
               DialogEvents& events, EventOwner* owner);
  /// Destroys the window. Safe from inside a handler that the window's own
  /// procedure is running: nothing touches the object after the handler.
  ~DialogWindow() override;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  const DialogControls& Controls() override { return controls_; }
  void Show() override;
  void BringToFront() override;

 private:
  friend void RegisterDialogWindowClass(HINSTANCE module);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  /// The host's message loop may give the window's keys to the frame's
  /// accelerators, or to nobody, before it dispatches them: while a window
  /// exists, this hook on the thread's message retrieval dispatches the keys
  /// of every link builder window itself and leaves the host a WM_NULL.
  static LRESULT CALLBACK KeyHook(int code, WPARAM removal, LPARAM data) noexcept;
  void Command(int id, int code) noexcept;
  /// Runs a handler for a window message, as an event of the owner. A
  /// failure is shown with the dialog failure message, and the drive and
  /// folder lists go back to what they showed before the message.
  template <typename Handler>
  void Run(Handler handler) noexcept;
  void CreateControls(HFONT font);
  /// The controls' font: the Japanese one at the window's DPI, or the
  /// system's when there is none.
  HFONT Font() const;
  /// Lays the window out again at `dpi`: font, places and item heights.
  void Relayout(int dpi);
  HWND Child(ControlId id) const { return children_[id - kLabel4]; }

  DialogEvents& events_;
  MessageBoxes& boxes_;
  EventOwner* owner_;
  int dpi_;  // the layout's: the monitor's, raised for a larger message font
  UniqueFont font_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueWindow window_;
  UniqueHook keyHook_;
  std::array<HWND, kLabel5 - kLabel4 + 1> children_{};
  std::unique_ptr<KeyboardNavigation> navigation_;
  std::unique_ptr<Win32TextBox> location_;
  std::array<std::unique_ptr<Win32CheckBox>, 4> filter_;
  std::array<std::unique_ptr<Win32OptionButton>, 3> options_;
  std::unique_ptr<Win32DriveList> drive1_;
  std::unique_ptr<Win32DirList> dir1_;
  std::unique_ptr<Win32FileList> file1_;
  DialogControls controls_;
  /// False once the object is being destroyed; handlers keep a copy.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tervane::win32
