#include "addin/platform/win32/folder_list.h"

#include <algorithm>

#include "addin/dialog/linkaddress/list_pattern.h"
#include "addin/platform/error.h"
#include "addin/platform/win32/find_entries.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {

// The length of the root of `path`: "C:\" or "\\server\share\".
std::size_t RootLength(std::string_view path) {
  if (path.starts_with("\\\\")) {
    std::size_t end = path.find('\\', 2);
    if (end != std::string_view::npos) end = path.find('\\', end + 1);
    return end == std::string_view::npos ? path.size() : end + 1;
  }
  return std::min<std::size_t>(path.size(), 3);
}

std::vector<std::string> Subfolders(const std::string& folder) {
  std::vector<std::string> names;
  ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    if (IsListedFolder(entry)) names.push_back(Narrow(entry.cFileName));
  });
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
  return names;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.ends_with('\\') ? folder + name : folder + "\\" + name;
}

}  // namespace

std::string FolderListForm(std::string_view path) {
  std::string form(path);
  if (form.size() == 2 && form[1] == ':') return form + "\\";
  // A share's top, like a drive's, is shown with its separator.
  if (form.starts_with("\\\\") && RootLength(form) == form.size() && !form.ends_with('\\')) {
    return form + "\\";
  }
  if (form.size() > RootLength(form) && form.ends_with('\\')) form.pop_back();
  return form;
}

Win32DirList::Win32DirList(HWND list, FileSystem& files, DialogEvents& events,
                           std::string_view startFolder)
    : list_(list), files_(files), events_(events), path_(FolderListForm(startFolder)) {
  Fill();
}

void Win32DirList::SetPath(std::string_view path) {
  if (!files_.FolderExists(path)) {
    throw Error(kErrPathNotFound, "Path not found: " + std::string(path));
  }
  std::string shown = FolderListForm(path);
  if (shown == path_) return;
  path_ = std::move(shown);
  Fill();
  events_.Dir1_Change();
}

void Win32DirList::OpenSelected() {
  const LRESULT item = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (item < 0 || static_cast<std::size_t>(item) >= entries_.size()) return;
  const std::string target = entries_[static_cast<std::size_t>(item)].path;
  SetPath(target);
}

void Win32DirList::Restore(const std::string& path) {
  path_ = path;
  Fill();  // also puts the cursor back on the folder
}

void Win32DirList::Fill() {
  entries_.clear();
  const std::size_t rootLength = RootLength(path_);
  std::string folder = path_.substr(0, rootLength);
  entries_.push_back({folder, 0});
  for (std::size_t start = rootLength; start < path_.size();) {
    std::size_t end = path_.find('\\', start);
    if (end == std::string::npos) end = path_.size();
    folder = Join(folder, path_.substr(start, end - start));
    entries_.push_back({folder, static_cast<int>(entries_.size())});
    start = end + 1;
  }
  const int current = static_cast<int>(entries_.size()) - 1;
  for (const std::string& name : Subfolders(path_)) {
    entries_.push_back({Join(path_, name), current + 1});
  }

  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string& entry = entries_[i].path;
    const std::string name = i == 0 ? entry : entry.substr(entry.rfind('\\') + 1);
    ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
  }
  ::SendMessageW(list_, LB_SETCURSEL, current, 0);
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
}

// Ancestors and the folder itself are "open" folders: drawn with a filled
// mark; subfolders with a hollow one.
void Win32DirList::Draw(const DRAWITEMSTRUCT& item, int indentPixels) const {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) return;
  const Entry& entry = entries_[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

  RECT text = item.rcItem;
  text.left += 2 + entry.depth * indentPixels;
  const int mark = (text.bottom - text.top) / 2;
  const RECT box{text.left, text.top + mark / 2, text.left + mark, text.top + mark / 2 + mark};
  const bool open = entry.path.size() <= path_.size();
  ::FrameRect(item.hDC, &box, ::GetSysColorBrush(COLOR_GRAYTEXT));
  if (open) ::FillRect(item.hDC, &box, ::GetSysColorBrush(COLOR_GRAYTEXT));
  text.left += mark + 4;

  const LRESULT length = ::SendMessageW(list_, LB_GETTEXTLEN, item.itemID, 0);
  std::wstring name(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  ::SendMessageW(list_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(name.data()));
  name.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  ::DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace tervane::win32
