// Drives and current folders. Every drive has a current folder and the
// process has one current drive; making a folder current sets the current
// folder of its own drive and leaves the current drive alone. On POSIX there
// is one drive, the root, and it is always ready.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/path_style.h"

namespace tervane {

/// A drive as the file-system object reports it. IsReady asks again on
/// every call.
class DriveInfo {
 public:
  virtual ~DriveInfo() = default;
  virtual bool IsReady() = 0;
  virtual int DriveType() = 0;
  virtual std::string DriveLetter() = 0;
};

class DriveSystem {
 public:
  virtual ~DriveSystem() = default;
  virtual PathStyle Style() const = 0;
  /// The drive of a drive specification ("c:"; "/" on POSIX). Error when no
  /// such drive exists.
  virtual std::unique_ptr<DriveInfo> GetDrive(std::string_view spec) = 0;
  /// The current folder of the drive `spec`. Error when it cannot be read.
  virtual std::string CurrentFolderOf(std::string_view spec) = 0;
  /// The current folder of the process's current drive.
  virtual std::string CurrentFolder() = 0;
  /// Makes `folder` the current folder of its drive. Error when it is not a
  /// folder that can be entered.
  virtual void MakeCurrent(std::string_view folder) = 0;
};

}  // namespace tervane
