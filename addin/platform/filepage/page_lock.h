// Keeping two writers of one page apart. Each writer reads the page, changes
// it and renames a new copy over it; without this, two writers at once would
// both read the old page and the second rename would drop the first one's
// changes. The lock is the operating system's own (flock on POSIX systems,
// LockFileEx on Windows), so it goes with the process that holds it, however
// that process ends, and nothing is left on disk.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tervane {

class PageLock {
 public:
  /// Waits until no other writer holds the page at `path` (a symbolic link
  /// is followed to its target), then holds it until destroyed. A lock taken
  /// on a page that another writer then replaced is let go and taken again on
  /// the page now at `path`, so the holder always reads what the last writer
  /// left. Throws Error "Cannot write <path>: ..." when the page is still
  /// held after `timeout`, and "Cannot read <path>: ..." when it cannot be
  /// opened. `afterLocking` runs in every try between taking the lock and
  /// checking that `path` still names the file locked: there a test puts
  /// another writer's replacement of the page.
  PageLock(const std::string& path, std::chrono::milliseconds timeout,
           const std::function<void()>& afterLocking = {});
  ~PageLock();
  PageLock(const PageLock&) = delete;
  PageLock& operator=(const PageLock&) = delete;

 private:
  struct Held;
  /// The page at `path` held by this process, or nullptr while another holds
  /// it or the lock taken turned out to be on a file the path no longer names.
  static std::unique_ptr<Held> TryHold(const std::string& path,
                                       const std::function<void()>& afterLocking);
  /// Calls `tryHold` until it returns true, with growing pauses between
  /// calls; throws the timeout's Error once `timeout` has passed.
  static void Wait(const std::string& path, std::chrono::milliseconds timeout,
                   const std::function<bool()>& tryHold);

  std::unique_ptr<Held> held_;
};

/// How long a writer waits for another writer of the page: 30 s, or the
/// milliseconds in TERVANE_LOCK_TIMEOUT_MS, which is there for the tests.
std::chrono::milliseconds PageLockTimeout();

}  // namespace tervane
