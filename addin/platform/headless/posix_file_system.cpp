#include "addin/platform/headless/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "addin/platform/codec/text_codec.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/file_descriptor.h"

namespace tervane {
namespace {

class Directory {
 public:
  explicit Directory(const std::string& path) : dir_(::opendir(path.c_str())) {}
  ~Directory() {
    if (dir_) ::closedir(dir_);
  }
  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool IsRegularFile(int dirFd, const char* name) {
  struct stat info {};
  return ::fstatat(dirFd, name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool PosixFileSystem::FolderExists(std::string_view path) {
  struct stat info {};
  return ::stat(std::string(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> PosixFileSystem::ListFiles(std::string_view folder) {
  const std::string path(folder);
  Directory dir(path);
  if (!dir.get()) {
    throw Error(kErrPathNotFound, "Cannot read folder " + path + ": " + std::strerror(errno));
  }
  std::vector<std::string> names;
  const int dirFd = ::dirfd(dir.get());
  // readdir reports an error only through errno, which the checks between
  // two calls may set: clear it before each call.
  for (errno = 0; const dirent* entry = ::readdir(dir.get()); errno = 0) {
    const char* name = entry->d_name;
    if (name[0] == '.') continue;
    // A symbolic link to a file lists as that file; d_type saves a stat for
    // the common case.
    const bool regular =
        entry->d_type == DT_REG ||
        ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) && IsRegularFile(dirFd, name));
    if (!regular) continue;
    // A name that is not UTF-8 cannot be written into a page as the name it
    // is on disk, so it is not offered.
    if (!IsValidUtf8(name)) continue;
    names.emplace_back(name);
  }
  if (errno != 0) {
    throw Error(kErrPathFileAccess, "Cannot read folder " + path + ": " + std::strerror(errno));
  }
  return names;
}

std::optional<std::string> PosixFileSystem::ReadSmallFile(std::string_view path,
                                                          std::size_t maxBytes) {
  // O_NONBLOCK: a pipe put where a file was must not stall the dialog.
  UniqueFd fd(::open(std::string(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (IsOnPseudoFileSystem(fd.Get())) return std::nullopt;
  if (static_cast<std::size_t>(info.st_size) > maxBytes) return std::nullopt;

  std::string bytes;
  char buffer[16384];
  while (true) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
    // The file may grow while it is read.
    if (bytes.size() > maxBytes) return std::nullopt;
  }
  return bytes;
}

std::optional<std::string> PosixFileSystem::DecodeAnsi(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return DecodeStrict(Charset::kCp932, bytes);
}

}  // namespace tervane
