#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/file_descriptor.h"

namespace tervane {

namespace {

// Keeps the temporary name, with "." and the XXXXXX of mkstemp, within the
// usual 255-byte limit on a name whatever the target is called.
constexpr std::size_t kMaxNameStem = 200;

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw Error(kErrPathFileAccess, "Cannot write " + path + ": " + reason);
}

[[noreturn]] void Fail(const std::string& path, const std::string& step, int cause) {
  Fail(path, step + ": " + std::strerror(cause));
}

// The file that becomes the target; removed again unless it was renamed.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& folder, const std::string& name, const std::string& target)
      : path_(folder + (folder.ends_with('/') ? "." : "/.") + name.substr(0, kMaxNameStem) +
              ".XXXXXX") {
    fd_ = UniqueFd(::mkostemp(path_.data(), O_CLOEXEC));
    if (!fd_.Valid()) Fail(target, "cannot create a temporary file in " + folder, errno);
  }
  ~TemporaryFile() {
    fd_.Reset();
    if (!renamed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Fd() const { return fd_.Get(); }
  int Close() { return fd_.Close(); }
  const std::string& Path() const { return path_; }
  void MarkRenamed() { renamed_ = true; }

 private:
  std::string path_;
  UniqueFd fd_;
  bool renamed_ = false;
};

void WriteAll(int fd, std::string_view bytes, const std::string& target) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) Fail(target, "writing the temporary file", errno);
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (!resolved) Fail(path, "cannot resolve the path", errno);
  const std::string target = resolved.get();
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) Fail(path, "cannot inspect " + target, errno);
  if (!S_ISREG(info.st_mode)) Fail(path, target + " is not a regular file");

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == 0 ? "/" : target.substr(0, slash);
  TemporaryFile temporary(folder, target.substr(slash + 1), path);
  WriteAll(temporary.Fd(), bytes, path);
  if (::fsync(temporary.Fd()) != 0) Fail(path, "flushing the temporary file", errno);
  // Owner first: changing it may clear the set-user-ID bits that fchmod
  // then restores. Only a privileged process may give the file away, so a
  // refusal leaves the new file with the caller as its owner.
  if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) {
    if (::fchown(temporary.Fd(), info.st_uid, info.st_gid) != 0) {
      // Not a failure of the write.
    }
  }
  if (::fchmod(temporary.Fd(), info.st_mode & 07777) != 0) {
    Fail(path, "setting the permissions", errno);
  }
  if (temporary.Close() != 0) Fail(path, "closing the temporary file", errno);
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0) {
    Fail(path, "renaming the temporary file over " + target, errno);
  }
  temporary.MarkRenamed();
  // Makes the rename itself durable; the page is already replaced, so a
  // failure here is not reported.
  UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.Valid()) ::fsync(folderFd.Get());
}

}  // namespace tervane
