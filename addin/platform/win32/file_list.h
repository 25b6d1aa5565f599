// File1: an extended-selection list box of the files of one folder that
// match the list pattern, in the order of a sorted list. Every write of
// Pattern or Path reads the folder again and drops the selection.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "addin/platform/controls.h"
#include "addin/platform/file_system.h"

namespace tervane::win32 {

class Win32FileList : public FileListBox {
 public:
  /// Lists every file of `startFolder`.
  Win32FileList(HWND list, FileSystem& files, std::string_view startFolder);
  std::string Path() const override { return path_; }
  void SetPath(std::string_view path) override;
  std::string Pattern() const override { return pattern_; }
  void SetPattern(std::string_view pattern) override;
  std::size_t ListCount() const override { return names_.size(); }
  std::string List(std::size_t index) const override;
  bool Selected(std::size_t index) const override;
  void SetSelected(std::size_t index, bool selected) override;

 private:
  void Reload();
  void CheckIndex(std::size_t index) const;

  HWND list_;
  FileSystem& files_;
  std::string path_;
  std::string pattern_ = "*.*";
  std::vector<std::string> names_;
};

}  // namespace tervane::win32
