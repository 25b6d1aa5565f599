// The Win32 side of the platform interfaces: drives with per-drive current
// folders, the file system, message boxes, the shell, and the link builder's
// real window. Together with the editor reached through IDispatch they make
// up the Platform of the add-in library.
#pragma once

#include <windows.h>

#include <memory>

#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"
#include "addin/platform/file_system.h"
#include "addin/platform/message_box.h"
#include "addin/platform/shell.h"
#include "addin/platform/win32/event_owner.h"

namespace tervane::win32 {

/// Drives as the file-system object reports them (type codes 0 to 5), and
/// the current folder of each drive: making a folder current on another
/// drive than the process's current one leaves the current drive alone.
class Win32DriveSystem : public DriveSystem {
 public:
  PathStyle Style() const override { return PathStyle::kWindows; }
  std::unique_ptr<DriveInfo> GetDrive(std::string_view spec) override;
  std::string CurrentFolderOf(std::string_view spec) override;
  std::string CurrentFolder() override;
  void MakeCurrent(std::string_view folder) override;
};

/// Files as a file list shows them: no folders, no hidden or system files.
/// ANSI text is the system's ANSI code page.
class Win32FileSystem : public FileSystem {
 public:
  bool FolderExists(std::string_view path) override;
  std::vector<std::string> ListFiles(std::string_view folder) override;
  std::optional<std::string> ReadSmallFile(std::string_view path, std::size_t maxBytes) override;
  std::optional<std::string> DecodeAnsi(std::string_view bytes) override;
};

/// MessageBoxW without an owner window.
class Win32MessageBoxes : public MessageBoxes {
 public:
  MsgAnswer Show(const MessageBoxRequest& request) override;
};

/// ShellExecuteW with the verb "open"; failures are ignored.
class Win32Shell : public Shell {
 public:
  void Open(std::string_view address) override;
};

/// Makes the link builder's window: modeless, without an owner, fixed size,
/// every control at its place. `module` holds the window's icon (resource
/// kDialogIconId). Failures of handlers run by window messages are shown
/// with `boxes`; nothing escapes the window procedure. Each handler runs as
/// an event of `owner` (may be null).
class Win32DialogViewFactory : public DialogViewFactory {
 public:
  Win32DialogViewFactory(HINSTANCE module, DriveSystem& drives, FileSystem& files,
                         MessageBoxes& boxes, EventOwner* owner = nullptr);
  ~Win32DialogViewFactory() override;
  std::unique_ptr<DialogView> CreateView(DialogEvents& events) override;

 private:
  HINSTANCE module_;
  DriveSystem& drives_;
  FileSystem& files_;
  MessageBoxes& boxes_;
  EventOwner* owner_;
};

/// The resource identifier of the window's icon (32x32 and 16x16).
inline constexpr int kDialogIconId = 101;

}  // namespace tervane::win32
