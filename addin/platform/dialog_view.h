// The link builder's window, as the dialog code sees it: the controls it
// reads and writes, and the events the window raises. The Win32 layer makes
// a real window; the headless layer keeps the same state in memory.
#pragma once

#include <array>
#include <memory>

#include "addin/platform/controls.h"

namespace tervane {

/// The handlers the window calls. The dialog implements them; every one of
/// them runs on the thread that owns the window.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  virtual void Drive1_Change() = 0;
  virtual void Dir1_Change() = 0;
  virtual void Filter_Click(int index) = 0;
  virtual void SelectAllBtn_Click() = 0;
  virtual void LocationSetBtn_Click() = 0;
  virtual void GetPageInfo_Click() = 0;
  virtual void OKButton_Click() = 0;
  virtual void ReverseExistLink_Click() = 0;
  virtual void CancelButton_Click() = 0;
  virtual void Label5_Click() = 0;
};

/// The controls of one loaded window. They belong to the view.
struct DialogControls {
  TextBox* Location = nullptr;
  std::array<CheckBox*, 4> Filter{};
  OptionButton* OptWithText = nullptr;
  OptionButton* OptWithImg = nullptr;
  OptionButton* OptImgOnly = nullptr;
  DriveListBox* Drive1 = nullptr;
  DirListBox* Dir1 = nullptr;
  FileListBox* File1 = nullptr;
};

/// One loaded window. Destroying the view closes the window and discards the
/// state of its controls.
class DialogView {
 public:
  virtual ~DialogView() = default;
  virtual const DialogControls& Controls() = 0;
  /// Shows the window without waiting and without an owner.
  virtual void Show() = 0;
  virtual void BringToFront() = 0;
};

class DialogViewFactory {
 public:
  virtual ~DialogViewFactory() = default;
  /// Creates the window with its controls in their layout state: every
  /// Filter box clear, no option chosen, "Text1" in Location, and the drive,
  /// folder and file lists at the current folder of the process's current
  /// drive. Events go to `events`.
  virtual std::unique_ptr<DialogView> CreateView(DialogEvents& events) = 0;
};

}  // namespace tervane
