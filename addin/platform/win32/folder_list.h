// Dir1: the classic folder list. It shows the ancestors of its folder from
// the root down, the folder itself, and the folder's subfolders, each
// indented one step deeper than its parent. Opening an entry (double click
// or Enter) makes it the folder shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "addin/platform/controls.h"
#include "addin/platform/dialog_view.h"
#include "addin/platform/file_system.h"

namespace tervane::win32 {

class Win32DirList : public DirListBox {
 public:
  /// Shows `startFolder`, raising nothing.
  Win32DirList(HWND list, FileSystem& files, DialogEvents& events, std::string_view startFolder);
  /// A drive root with its "\" ("C:\"), any other folder without one.
  std::string Path() const override { return path_; }
  void SetPath(std::string_view path) override;

  /// Opens the entry under the cursor: raises Dir1_Change when it is
  /// another folder.
  void OpenSelected();
  /// Shows `path` again without raising anything.
  void Restore(const std::string& path);
  void Draw(const DRAWITEMSTRUCT& item, int indentPixels) const;

 private:
  struct Entry {
    std::string path;
    int depth;
  };
  void Fill();

  HWND list_;
  FileSystem& files_;
  DialogEvents& events_;
  std::string path_;
  std::vector<Entry> entries_;
};

/// How a folder list reports `path`: a drive root ("C:\", "\\server\share\")
/// with its separator, any other folder without a trailing one; a bare "D:"
/// stands for D's root.
std::string FolderListForm(std::string_view path);

}  // namespace tervane::win32
