// Drive1: a drop-down list of the drives present, one item per letter
// ("c: [label]" for a fixed drive with a label, "a:" otherwise), and the
// network share ("\\server\share") that a folder on one was shown from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "addin/platform/controls.h"
#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"

namespace tervane::win32 {

class Win32DriveList : public DriveListBox {
 public:
  /// Fills the list and shows the drive of `startFolder`, raising nothing.
  Win32DriveList(HWND combo, DriveSystem& drives, DialogEvents& events,
                 std::string_view startFolder);
  /// The text of the drive shown: its first character is the letter, or the
  /// whole text is the share.
  std::string Drive() const override;
  void SetDrive(std::string_view text) override;

  /// The user picked an item: raises Drive1_Change when the drive differs.
  void Picked();
  /// The list is about to drop down: reads the drives present again.
  void Refill();
  /// The drive shown (its letter, or its share), for Restore.
  std::wstring Shown() const { return shown_; }
  /// Shows `drive` again without raising anything.
  void Restore(const std::wstring& drive);

 private:
  /// The item of `drive`, or -1.
  int ItemOf(const std::wstring& drive) const;
  void Add(const std::wstring& drive, const std::wstring& text);

  HWND combo_;
  DriveSystem& drives_;
  DialogEvents& events_;
  std::wstring shown_;
  /// The drives the items stand for; each item's data is its index here.
  std::vector<std::wstring> keys_;
};

}  // namespace tervane::win32
