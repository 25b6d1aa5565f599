// POSIX systems: the new page is written to a hidden temporary file beside
// the page and renamed over it, which keeps the old or the new page whole
// whatever happens. What a new file cannot take over from the page (an owner
// only root may give, a second name) makes the page be written in place,
// with its old bytes kept in the temporary file until the write is done.
#include <acl/libacl.h>
#include <attr/libattr.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/atomic_file_hook.h"
#include "addin/platform/filepage/file_descriptor.h"

namespace tervane {

namespace {

// Keeps the temporary name, with "." and the XXXXXX of mkstemp, within the
// usual 255-byte limit on a name whatever the target is called.
constexpr std::size_t kMaxNameStem = 200;

// The temporary file that a signal ending the program removes.
std::atomic<const char*> pendingTemporary{nullptr};

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw Error(kErrPathFileAccess, "Cannot write " + path + ": " + reason);
}

[[noreturn]] void Fail(const std::string& path, const std::string& step, int cause) {
  Fail(path, step + ": " + std::strerror(cause));
}

// The file that becomes the target, or holds the target's old bytes while the
// target is written in place; removed again unless it was renamed or kept.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& folder, const std::string& name, const std::string& target)
      : path_(folder + (folder.ends_with('/') ? "." : "/.") + name.substr(0, kMaxNameStem) +
              ".XXXXXX") {
    fd_ = UniqueFd(::mkostemp(path_.data(), O_CLOEXEC));
    if (!fd_.Valid()) Fail(target, "cannot create a temporary file in " + folder, errno);
    pendingTemporary.store(path_.c_str());
  }
  ~TemporaryFile() {
    pendingTemporary.store(nullptr);
    fd_.Reset();
    if (!kept_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Fd() const { return fd_.Get(); }
  int Close() { return fd_.Close(); }
  bool Reopen() {
    fd_ = UniqueFd(::open(path_.c_str(), O_RDWR | O_CLOEXEC));
    return fd_.Valid();
  }
  const std::string& Path() const { return path_; }
  /// After the rename, or when it holds the only copy of the old bytes.
  void Keep() {
    pendingTemporary.store(nullptr);
    kept_ = true;
  }

 private:
  std::string path_;
  UniqueFd fd_;
  bool kept_ = false;
};

// Holds back the signals that end the program while the page is written in
// place, so that it ends with the page whole, old or new.
class HeldSignals {
 public:
  HeldSignals() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, &saved_);
  }
  ~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  sigset_t saved_;
};

// 0, or the errno of the failed write.
int WriteAll(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t count = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    bytes.remove_prefix(static_cast<std::size_t>(count));
    offset += count;
  }
  return 0;
}

// The bytes of `fd` from its start; false with errno set on failure.
bool ReadAll(int fd, std::string& bytes) {
  bytes.clear();
  char chunk[64 * 1024];
  for (off_t offset = 0;;) {
    const ssize_t count = ::pread(fd, chunk, sizeof chunk, offset);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) return true;
    bytes.append(chunk, static_cast<std::size_t>(count));
    offset += count;
  }
}

// Gives `temporary` what the target is besides its bytes: owner and group,
// permissions, ACL, extended attributes. False when a new file cannot have
// them all: the owner is another user (only root gives files away), the
// group one the user is not in, or the file system refuses the ACL or an
// attribute.
bool TakeOverWhatTheTargetIs(const TemporaryFile& temporary, const std::string& target,
                             int targetFd, const struct stat& info) {
  // Owner first: changing it may clear the set-user-ID bits that the
  // permissions then restore. Only root gives a file away; the group, any
  // member of it may set.
  if (info.st_uid != ::geteuid() && ::fchown(temporary.Fd(), info.st_uid, info.st_gid) != 0) {
    return false;
  }
  if (info.st_gid != ::getegid() &&
      ::fchown(temporary.Fd(), static_cast<uid_t>(-1), info.st_gid) != 0) {
    return false;
  }
  if (::fchmod(temporary.Fd(), info.st_mode & 07777) != 0) return false;
  if (::perm_copy_fd(target.c_str(), targetFd, temporary.Path().c_str(), temporary.Fd(), nullptr) !=
      0) {
    return false;
  }
  return ::attr_copy_fd(target.c_str(), targetFd, temporary.Path().c_str(), temporary.Fd(), nullptr,
                        nullptr) == 0;
}

void CheckUnchanged(const std::string& path, const std::string& target,
                    const std::optional<PageIdentity>& expected) {
  RunBeforeReplaceHook(target);
  if (expected && PageIdentityAt(target) != expected) throw PageChangedError(path);
}

// The target written in place, the old bytes first copied to `temporary`
// (flushed) and put back if the write fails.
void WriteInPlace(TemporaryFile& temporary, const std::string& path, const std::string& target,
                  std::string_view bytes, const std::optional<PageIdentity>& expected) {
  const UniqueFd page(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
  if (!page.Valid()) Fail(path, "cannot open it for writing", errno);
  std::string old;
  if (!ReadAll(page.Get(), old)) Fail(path, "reading it", errno);
  if (::ftruncate(temporary.Fd(), 0) != 0 || WriteAll(temporary.Fd(), old, 0) != 0 ||
      ::fsync(temporary.Fd()) != 0) {
    Fail(path, "keeping its old contents in " + temporary.Path(), errno);
  }
  CheckUnchanged(path, target, expected);
  const HeldSignals held;
  int cause = WriteAll(page.Get(), bytes, 0);
  if (cause == 0 && ::ftruncate(page.Get(), static_cast<off_t>(bytes.size())) != 0) cause = errno;
  if (cause == 0 && ::fsync(page.Get()) != 0) cause = errno;
  if (cause == 0) return;
  if (WriteAll(page.Get(), old, 0) != 0 ||
      ::ftruncate(page.Get(), static_cast<off_t>(old.size())) != 0 || ::fsync(page.Get()) != 0) {
    temporary.Keep();
    Fail(path, "writing it in place: " + std::string(std::strerror(cause)) +
                   "; its old contents are in " + temporary.Path());
  }
  Fail(path, "writing it in place", cause);
}

}  // namespace

void RemovePendingTemporaryFile() noexcept {
  if (const char* path = pendingTemporary.exchange(nullptr)) ::unlink(path);
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::optional<PageIdentity>& expected) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (!resolved) Fail(path, "cannot resolve the path", errno);
  const std::string target = resolved.get();
  // O_NONBLOCK: a FIFO put under the name must not hang the open.
  const UniqueFd page(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!page.Valid()) Fail(path, "cannot open " + target, errno);
  struct stat info {};
  if (::fstat(page.Get(), &info) != 0) Fail(path, "cannot inspect " + target, errno);
  if (!S_ISREG(info.st_mode)) Fail(path, target + " is not a regular file");
  // A folder the user may write lets a rename replace any file in it; the
  // page's own permissions say whether it may be changed.
  if ((info.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    Fail(path, "it is read-only");
  }

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == 0 ? "/" : target.substr(0, slash);
  TemporaryFile temporary(folder, target.substr(slash + 1), path);
  if (const int cause = WriteAll(temporary.Fd(), bytes, 0); cause != 0) {
    Fail(path, "writing the temporary file", cause);
  }
  if (::fsync(temporary.Fd()) != 0) Fail(path, "flushing the temporary file", errno);

  // A second name would keep the old bytes after a rename.
  if (info.st_nlink == 1 && TakeOverWhatTheTargetIs(temporary, target, page.Get(), info)) {
    if (temporary.Close() != 0) Fail(path, "closing the temporary file", errno);
    CheckUnchanged(path, target, expected);
    if (::rename(temporary.Path().c_str(), target.c_str()) == 0) {
      temporary.Keep();
      // Makes the rename itself durable; the page is already replaced, so a
      // failure here is not reported.
      const UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      if (folderFd.Valid()) ::fsync(folderFd.Get());
      return;
    }
    // A file mounted on its own name (EBUSY), or a name that leads to
    // another file system (EXDEV), can only be written in place.
    const int cause = errno;
    if (cause != EBUSY && cause != EXDEV) {
      Fail(path, "renaming the temporary file over " + target, cause);
    }
    if (!temporary.Reopen()) Fail(path, "reopening the temporary file", errno);
  }
  WriteInPlace(temporary, path, target, bytes, expected);
}

}  // namespace tervane
