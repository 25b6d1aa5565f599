// Drives and current folders on POSIX: one drive, the root, always ready. The
// current folder starts as the process's working folder and is kept here, so
// that moving the dialog's lists never changes the process's own.
#pragma once

#include <string>

#include "addin/platform/drives.h"

namespace tervane {

class PosixDriveSystem : public DriveSystem {
 public:
  PosixDriveSystem();

  PathStyle Style() const override { return PathStyle::kPosix; }
  std::unique_ptr<DriveInfo> GetDrive(std::string_view spec) override;
  std::string CurrentFolderOf(std::string_view spec) override;
  std::string CurrentFolder() override { return current_; }
  void MakeCurrent(std::string_view folder) override;

 private:
  std::string current_;
};

}  // namespace tervane
