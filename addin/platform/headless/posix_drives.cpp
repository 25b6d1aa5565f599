#include "addin/platform/headless/posix_drives.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "addin/platform/error.h"

namespace tervane {
namespace {

constexpr int kHardDisk = 2;

class RootDrive : public DriveInfo {
 public:
  bool IsReady() override { return true; }
  int DriveType() override { return kHardDisk; }
  std::string DriveLetter() override { return "/"; }
};

}  // namespace

PosixDriveSystem::PosixDriveSystem() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  current_ = ec ? "/" : cwd.string();
}

std::unique_ptr<DriveInfo> PosixDriveSystem::GetDrive(std::string_view spec) {
  if (spec != "/") throw Error(kErrDeviceUnavailable, "No such drive: " + std::string(spec));
  return std::make_unique<RootDrive>();
}

std::string PosixDriveSystem::CurrentFolderOf(std::string_view spec) {
  if (spec != "/") throw Error(kErrDeviceUnavailable, "No such drive: " + std::string(spec));
  return current_;
}

void PosixDriveSystem::MakeCurrent(std::string_view folder) {
  const std::string path(folder);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    throw Error(kErrPathNotFound, "Folder not found: " + path);
  }
  if (::access(path.c_str(), X_OK) != 0) {
    throw Error(kErrPathFileAccess, "Cannot enter folder " + path + ": " + std::strerror(errno));
  }
  current_ = path;
}

}  // namespace tervane
