#include <fcntl.h>
#include <sys/stat.h>

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

std::string ReadPageFile(const std::string& path, std::size_t maxBytes) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) ThrowPageReadError(path, errno);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) ThrowPageReadError(path, errno);
  if (S_ISDIR(info.st_mode)) ThrowPageReadError(path, EISDIR);
  if (static_cast<std::size_t>(info.st_size) > maxBytes) {
    throw Error(kErrPathFileAccess, "Cannot read " + path + ": the page is too large (" +
                                        std::to_string(info.st_size >> 20) + " MiB; pages up to " +
                                        std::to_string(maxBytes >> 20) + " MiB are read)");
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t count = ::read(fd.Get(), chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) ThrowPageReadError(path, errno);
    if (count == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
  return bytes;
}

}  // namespace tervane
