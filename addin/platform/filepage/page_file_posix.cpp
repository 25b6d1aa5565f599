#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "addin/platform/error.h"
#include "addin/platform/filepage/file_descriptor.h"
#include "addin/platform/filepage/page_file.h"

namespace tervane {

namespace {

std::int32_t ReadErrorNumber(int cause) {
  if (cause == ENOENT) return kErrFileNotFound;
  if (cause == ENOTDIR) return kErrPathNotFound;
  return kErrPathFileAccess;
}

PageIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace

void ThrowPageReadError(const std::string& path, unsigned long cause) {
  const auto error = static_cast<int>(cause);
  throw Error(ReadErrorNumber(error), "Cannot read " + path + ": " + std::strerror(error));
}

std::string AbsolutePagePath(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::error_code failure;
  const auto absolute = std::filesystem::absolute(path, failure);
  if (failure) ThrowPageReadError(path, failure.value());
  return absolute.string();
}

std::string PageFileUrl(const std::string& absolutePath) { return "file://" + absolutePath; }

std::optional<PageIdentity> PageIdentityAt(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return IdentityOf(info);
}

std::string ReadPageFile(const std::string& path, std::size_t maxBytes, PageIdentity* identity) {
  // O_NONBLOCK: a FIFO under the page's name must not hang the open; it is
  // refused below like a device, whose size says nothing about its length.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) ThrowPageReadError(path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) ThrowPageReadError(path, errno);
  if (S_ISDIR(info.st_mode)) ThrowPageReadError(path, EISDIR);
  if (!S_ISREG(info.st_mode)) {
    throw Error(kErrPathFileAccess, "Cannot read " + path + ": not a regular file");
  }
  const auto tooLarge = [&](std::uint64_t size) {
    return Error(kErrPathFileAccess, "Cannot read " + path + ": the page is too large (" +
                                         std::to_string(size >> 20) + " MiB; pages up to " +
                                         std::to_string(maxBytes >> 20) + " MiB are read)");
  };
  if (static_cast<std::size_t>(info.st_size) > maxBytes) throw tooLarge(info.st_size);
  if (identity != nullptr) *identity = IdentityOf(info);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[64 * 1024];
  // A file that grows while it is read stops at the limit plus one byte.
  while (bytes.size() <= maxBytes) {
    const std::size_t wanted = std::min(sizeof chunk, maxBytes + 1 - bytes.size());
    const ssize_t count = ::read(fd.Get(), chunk, wanted);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) ThrowPageReadError(path, errno);
    if (count == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
  if (bytes.size() > maxBytes) throw tooLarge(bytes.size());
  return bytes;
}

}  // namespace tervane
