#include "addin/platform/headless/headless_controls.h"

#include <algorithm>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/platform/error.h"

namespace tervane {
namespace {

constexpr std::int32_t kErrInvalidPropertyValue = 380;
constexpr std::int32_t kErrInvalidArrayIndex = 381;

bool SameDrive(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A folder list reports a drive root with its separator ("C:\", "/") and any
// other folder without a trailing one. A bare "D:" stands for D's root.
std::string FolderListForm(std::string_view path, PathStyle style) {
  if (style == PathStyle::kWindows && path.size() == 2 && path[1] == ':') {
    return std::string(path) + "\\";
  }
  std::string trimmed = RemoveTrailingSeparator(path, style);
  const bool root =
      trimmed.empty() || (style == PathStyle::kWindows && trimmed.size() == 2 && trimmed[1] == ':');
  return root ? std::string(path) : trimmed;
}

}  // namespace

void HeadlessCheckBox::SetValue(int value) {
  if (value < 0 || value > 2) throw Error(kErrInvalidPropertyValue, "Invalid property value");
  if (value == value_) return;
  value_ = value;
  events_.Filter_Click(index_);
}

void HeadlessOptionButton::SetValue(bool value) {
  if (value) {
    group_.chosen = id_;
  } else if (group_.chosen == id_) {
    group_.chosen = -1;
  }
}

void HeadlessDriveList::SetDrive(std::string_view text) {
  const std::string spec = DriveSpecification(text, drives_.Style());
  drives_.GetDrive(spec);  // an unknown drive is refused here
  if (SameDrive(spec, drive_)) return;
  drive_ = spec;
  events_.Drive1_Change();
}

void HeadlessDirList::SetPath(std::string_view path) {
  if (!files_.FolderExists(path)) {
    throw Error(kErrPathNotFound, "Path not found: " + std::string(path));
  }
  std::string shown = FolderListForm(path, style_);
  if (shown == path_) return;
  path_ = std::move(shown);
  events_.Dir1_Change();
}

HeadlessFileList::HeadlessFileList(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)) {}

void HeadlessFileList::SetPath(std::string_view path) {
  if (!files_.FolderExists(path)) {
    throw Error(kErrPathNotFound, "Path not found: " + std::string(path));
  }
  path_ = path;
  stale_ = true;
  selected_.clear();
}

void HeadlessFileList::SetPattern(std::string_view pattern) {
  pattern_ = pattern;
  stale_ = true;
  selected_.clear();
}

void HeadlessFileList::Refresh() const {
  if (!stale_) return;
  const FilePattern pattern(pattern_);
  std::vector<std::string> names = files_.ListFiles(path_);
  std::erase_if(names, [&](const std::string& name) { return !pattern.Matches(name); });
  SortInListOrder(names);
  names.erase(std::unique(names.begin(), names.end()), names.end());
  names_ = std::move(names);
  selected_.assign(names_.size(), false);
  stale_ = false;
}

void HeadlessFileList::CheckIndex(std::size_t index) const {
  Refresh();
  if (index >= names_.size()) throw Error(kErrInvalidArrayIndex, "Invalid property array index");
}

std::size_t HeadlessFileList::ListCount() const {
  Refresh();
  return names_.size();
}

std::string HeadlessFileList::List(std::size_t index) const {
  CheckIndex(index);
  return names_[index];
}

bool HeadlessFileList::Selected(std::size_t index) const {
  CheckIndex(index);
  return selected_[index];
}

void HeadlessFileList::SetSelected(std::size_t index, bool selected) {
  CheckIndex(index);
  selected_[index] = selected;
}

}  // namespace tervane
