// POSIX systems: an exclusive flock on the page itself. A writer's rename
// puts a new file under the name, so a waiter that was granted the lock on
// the old file sees that the name leads elsewhere and locks the new one.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "addin/platform/error.h"
#include "addin/platform/filepage/file_descriptor.h"
#include "addin/platform/filepage/page_file.h"
#include "addin/platform/filepage/page_lock.h"

namespace tervane {

struct PageLock::Held {
  UniqueFd fd;
};

std::unique_ptr<PageLock::Held> PageLock::TryHold(const std::string& path,
                                                  const std::function<void()>& afterLocking) {
  // O_NONBLOCK: opening a FIFO put in the page's place must not hang here.
  // Open for writing where the page allows it: NFS grants an exclusive lock
  // only on a descriptor open for writing.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) ThrowPageReadError(path, static_cast<unsigned long>(errno));
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    const int cause = errno;
    if (cause == EWOULDBLOCK || cause == EINTR) return nullptr;
    throw Error(kErrPathFileAccess,
                "Cannot write " + path + ": cannot lock it: " + std::strerror(cause));
  }
  if (afterLocking) afterLocking();
  struct stat locked {};
  struct stat named {};
  if (::fstat(fd.Get(), &locked) != 0 || ::stat(path.c_str(), &named) != 0 ||
      locked.st_dev != named.st_dev || locked.st_ino != named.st_ino) {
    return nullptr;
  }
  return std::make_unique<Held>(Held{std::move(fd)});
}

PageLock::PageLock(const std::string& path, std::chrono::milliseconds timeout,
                   const std::function<void()>& afterLocking) {
  Wait(path, timeout, [&] {
    held_ = TryHold(path, afterLocking);
    return held_ != nullptr;
  });
}

PageLock::~PageLock() = default;

}  // namespace tervane
