// Controls without a window: the same state and the same events as the real
// ones, kept in memory. A value set here raises the control's event at once,
// nested, as a window's control does.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "addin/dialog/linkaddress/list_pattern.h"
#include "addin/platform/controls.h"
#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"
#include "addin/platform/file_system.h"

namespace tervane {

class HeadlessTextBox : public TextBox {
 public:
  explicit HeadlessTextBox(std::string text) : text_(std::move(text)) {}
  std::string Text() const override { return text_; }
  void SetText(std::string_view text) override { text_ = text; }

 private:
  std::string text_;
};

class HeadlessCheckBox : public CheckBox {
 public:
  HeadlessCheckBox(DialogEvents& events, int index) : events_(events), index_(index) {}
  int Value() const override { return value_; }
  /// 0 clear, 1 ticked, 2 greyed. A change raises Filter_Click(index).
  void SetValue(int value) override;

 private:
  DialogEvents& events_;
  int index_;
  int value_ = 0;
};

/// Option buttons of one group share the group's choice.
class HeadlessOptionGroup {
 public:
  int chosen = -1;
};

class HeadlessOptionButton : public OptionButton {
 public:
  HeadlessOptionButton(HeadlessOptionGroup& group, int id) : group_(group), id_(id) {}
  bool Value() const override { return group_.chosen == id_; }
  void SetValue(bool value) override;

 private:
  HeadlessOptionGroup& group_;
  int id_;
};

class HeadlessDriveList : public DriveListBox {
 public:
  HeadlessDriveList(DriveSystem& drives, DialogEvents& events, std::string drive)
      : drives_(drives), events_(events), drive_(std::move(drive)) {}
  std::string Drive() const override { return drive_; }
  void SetDrive(std::string_view text) override;

 private:
  DriveSystem& drives_;
  DialogEvents& events_;
  std::string drive_;
};

class HeadlessDirList : public DirListBox {
 public:
  HeadlessDirList(FileSystem& files, PathStyle style, DialogEvents& events, std::string path)
      : files_(files), style_(style), events_(events), path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  void SetPath(std::string_view path) override;

 private:
  FileSystem& files_;
  PathStyle style_;
  DialogEvents& events_;
  std::string path_;
};

/// Reads its folder when the list is next looked at after a write of Pattern
/// or Path, so that a chain of writes (pattern, then path) reads it once.
class HeadlessFileList : public FileListBox {
 public:
  HeadlessFileList(FileSystem& files, std::string path);
  std::string Path() const override { return path_; }
  void SetPath(std::string_view path) override;
  std::string Pattern() const override { return pattern_; }
  void SetPattern(std::string_view pattern) override;
  std::size_t ListCount() const override;
  std::string List(std::size_t index) const override;
  bool Selected(std::size_t index) const override;
  void SetSelected(std::size_t index, bool selected) override;

 private:
  void Refresh() const;
  void CheckIndex(std::size_t index) const;

  FileSystem& files_;
  std::string path_;
  std::string pattern_ = "*.*";
  mutable bool stale_ = true;
  mutable std::vector<std::string> names_;
  mutable std::vector<bool> selected_;
};

}  // namespace tervane
