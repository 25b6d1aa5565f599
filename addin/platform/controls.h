// The dialog's controls as its handlers see them. A value the program sets
// raises the control's event at once: the handler runs nested inside the
// setter, before the next statement. Setters that fail throw Error.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tervane {

class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(std::string_view text) = 0;
};

/// One box of a check box array. Changing its value raises the array's
/// click event with the box's index.
class CheckBox {
 public:
  virtual ~CheckBox() = default;
  /// 0 clear, 1 ticked.
  virtual int Value() const = 0;
  virtual void SetValue(int value) = 0;
};

/// One option button of a group: choosing it clears the others.
class OptionButton {
 public:
  virtual ~OptionButton() = default;
  virtual bool Value() const = 0;
  virtual void SetValue(bool value) = 0;
};

/// The drive list. Its Drive is a text whose first character is the drive
/// letter ("c:"; "/" on POSIX). Setting a text that begins with another
/// drive's letter (a drive specification or a path) raises Drive1_Change.
class DriveListBox {
 public:
  virtual ~DriveListBox() = default;
  virtual std::string Drive() const = 0;
  virtual void SetDrive(std::string_view text) = 0;
};

/// The folder list. Setting a Path other than the one shown raises
/// Dir1_Change; a folder that does not exist is an Error.
class DirListBox {
 public:
  virtual ~DirListBox() = default;
  virtual std::string Path() const = 0;
  virtual void SetPath(std::string_view path) = 0;
};

/// The file list, with extended multiple selection. Every write of Pattern
/// or Path reads the folder again and clears the selection. It lists the
/// files (not folders, not hidden or system files) whose names match the
/// pattern, each once, in the order of a sorted list box.
class FileListBox {
 public:
  virtual ~FileListBox() = default;
  virtual std::string Path() const = 0;
  virtual void SetPath(std::string_view path) = 0;
  virtual std::string Pattern() const = 0;
  virtual void SetPattern(std::string_view pattern) = 0;
  virtual std::size_t ListCount() const = 0;
  virtual std::string List(std::size_t index) const = 0;
  virtual bool Selected(std::size_t index) const = 0;
  virtual void SetSelected(std::size_t index, bool selected) = 0;
};

}  // namespace tervane
