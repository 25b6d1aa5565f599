// Drive1: a drop-down list of the drives present, one item per letter
// ("c: [label]" for a fixed drive with a label, "a:" otherwise).
#pragma once

#include <windows.h>

#include <string>

#include "addin/platform/controls.h"
#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"

namespace tervane::win32 {

class Win32DriveList : public DriveListBox {
 public:
  /// Fills the list and shows the drive of `startFolder`, raising nothing.
  Win32DriveList(HWND combo, DriveSystem& drives, DialogEvents& events,
                 std::string_view startFolder);
  /// The text of the drive shown; its first character is the letter.
  std::string Drive() const override;
  void SetDrive(std::string_view text) override;

  /// The user picked an item: raises Drive1_Change when the drive differs.
  void Picked();
  /// The list is about to drop down: reads the drives present again.
  void Refill();
  /// The letter shown, for Restore.
  wchar_t Shown() const { return shown_; }
  /// Shows `letter` again without raising anything.
  void Restore(wchar_t letter);

 private:
  /// The item of `letter`, or -1.
  int ItemOf(wchar_t letter) const;

  HWND combo_;
  DriveSystem& drives_;
  DialogEvents& events_;
  wchar_t shown_ = 0;
};

}  // namespace tervane::win32
