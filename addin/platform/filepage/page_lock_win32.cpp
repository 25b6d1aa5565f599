// Windows: an exclusive LockFileEx on one byte of the page far past its end,
// where no read of the page ever reaches (Windows locks stop reads and writes
// of the bytes they cover). Every handle shares deletion, so that the
// holder's ReplaceFileW may replace the page under the handles of the
// waiters. A waiter that was granted the lock on a file the page's name no
// longer leads to (the name now holds the replacement) locks the page again.
#include <windows.h>

#include "addin/platform/error.h"
#include "addin/platform/filepage/page_file.h"
#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"

namespace tervane {

namespace {

// 2^62: beyond any file, well within what every file system takes as an offset.
constexpr DWORD kLockOffsetHigh = 0x40000000;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

OVERLAPPED LockedByte() {
  OVERLAPPED where{};
  where.OffsetHigh = kLockOffsetHigh;
  return where;
}

bool SameFile(HANDLE locked, const std::wstring& path) {
  const win32::UniqueFile named(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return named && ::GetFileInformationByHandle(locked, &a) &&
         ::GetFileInformationByHandle(named.get(), &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

struct PageLock::Held {
  explicit Held(win32::UniqueFile locked) : file(std::move(locked)) {}
  // Closing the handle would release the lock too, but only when the system
  // gets round to it; the next writer should not wait for that.
  ~Held() {
    OVERLAPPED where = LockedByte();
    ::UnlockFileEx(file.get(), 0, 1, 0, &where);
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  win32::UniqueFile file;
};

std::unique_ptr<PageLock::Held> PageLock::TryHold(const std::string& path,
                                                  const std::function<void()>& afterLocking) {
  const std::wstring wide = win32::FileApiPath(path);
  win32::UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD cause = ::GetLastError();
    // A program that opened the page sharing nothing is writing it too.
    if (cause == ERROR_SHARING_VIOLATION) return nullptr;
    ThrowPageReadError(path, cause);
  }
  OVERLAPPED where = LockedByte();
  if (!::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                    &where)) {
    const DWORD cause = ::GetLastError();
    if (cause == ERROR_LOCK_VIOLATION || cause == ERROR_IO_PENDING) return nullptr;
    throw Error(kErrPathFileAccess,
                "Cannot write " + path +
                    ": cannot lock it: " + win32::SystemMessage(HRESULT_FROM_WIN32(cause)),
                cause);
  }
  auto held = std::make_unique<Held>(std::move(file));
  if (afterLocking) afterLocking();
  if (!SameFile(held->file.get(), wide)) return nullptr;
  return held;
}

PageLock::PageLock(const std::string& path, std::chrono::milliseconds timeout,
                   const std::function<void()>& afterLocking) {
  // ReplaceFileW may leave the name leading nowhere for a moment while
  // another writer's replacement goes in: only a page still missing after a
  // few tries (about 0.1 s) is reported as missing.
  int missingTries = 0;
  Wait(path, timeout, [&] {
    try {
      held_ = TryHold(path, afterLocking);
    } catch (const Error& error) {
      if (error.Number() != kErrFileNotFound || ++missingTries > 8) throw;
    }
    return held_ != nullptr;
  });
}

PageLock::~PageLock() = default;

}  // namespace tervane
