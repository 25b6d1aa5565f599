// A POSIX file descriptor owned by an object.
#pragma once

#include <unistd.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

#include <utility>

namespace tervane {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  /// Closes the descriptor now; returns close()'s result, 0 when none was open.
  int Close() { return fd_ < 0 ? 0 : ::close(std::exchange(fd_, -1)); }
  void Reset() { Close(); }

 private:
  int fd_ = -1;
};

/// Whether the file open on `fd` lies on a file system whose contents are
/// made as they are read (/proc, /sys and their kind): such a "regular file"
/// may claim a size of 0 and never end, block, or consume what is read
/// (/proc/kmsg). Readers of files that others chose do not read these.
inline bool IsOnPseudoFileSystem(int fd) {
#ifdef __linux__
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return true;
  switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC:
      return true;
    default:
      return false;
  }
#else
  (void)fd;
  return false;
#endif
}

}  // namespace tervane
