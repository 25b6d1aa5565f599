#include "addin/platform/win32/file_list.h"

#include <algorithm>

#include "addin/dialog/linkaddress/list_pattern.h"
#include "addin/platform/error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {
constexpr std::int32_t kErrInvalidArrayIndex = 381;
}  // namespace

Win32FileList::Win32FileList(HWND list, FileSystem& files, std::string_view startFolder)
    : list_(list), files_(files), path_(startFolder) {
  Reload();
}

void Win32FileList::SetPath(std::string_view path) {
  if (!files_.FolderExists(path)) {
    throw Error(kErrPathNotFound, "Path not found: " + std::string(path));
  }
  path_ = path;
  Reload();
}

void Win32FileList::SetPattern(std::string_view pattern) {
  pattern_ = pattern;
  Reload();
}

// The list box itself does not sort: its order would follow the system's
// collation, not the order the rest of the add-in assumes.
void Win32FileList::Reload() {
  ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  names_.clear();
  const FilePattern pattern(pattern_);
  std::vector<std::string> names = files_.ListFiles(path_);
  std::erase_if(names, [&](const std::string& name) { return !pattern.Matches(name); });
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
  names.erase(std::unique(names.begin(), names.end()), names.end());

  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  for (const std::string& name : names) {
    ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
  }
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
  names_ = std::move(names);
}

void Win32FileList::CheckIndex(std::size_t index) const {
  if (index >= names_.size()) throw Error(kErrInvalidArrayIndex, "Invalid property array index");
}

std::string Win32FileList::List(std::size_t index) const {
  CheckIndex(index);
  return names_[index];
}

bool Win32FileList::Selected(std::size_t index) const {
  CheckIndex(index);
  return ::SendMessageW(list_, LB_GETSEL, index, 0) > 0;
}

void Win32FileList::SetSelected(std::size_t index, bool selected) {
  CheckIndex(index);
  ::SendMessageW(list_, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

}  // namespace tervane::win32
