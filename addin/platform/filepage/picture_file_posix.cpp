#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "addin/platform/filepage/file_descriptor.h"
#include "addin/platform/filepage/picture_file.h"

namespace tervane {

struct PictureFile::Handle {
  UniqueFd fd;
};

PictureFile::PictureFile(std::unique_ptr<Handle> handle, std::uint64_t size, std::uint64_t maxBytes)
    : handle_(std::move(handle)), size_(size), maxBytes_(maxBytes) {}

PictureFile::~PictureFile() = default;

std::unique_ptr<PictureFile> PictureFile::Open(const std::string& path, std::uint64_t maxBytes) {
  // Asked first so that a device is not even opened (a tape rewinds on
  // open); asked again of what was opened, which may have been swapped in
  // between.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  auto handle = std::make_unique<Handle>();
  handle->fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!handle->fd.Valid()) return nullptr;
  if (::fstat(handle->fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  if (IsOnPseudoFileSystem(handle->fd.Get())) return nullptr;
  return std::unique_ptr<PictureFile>(
      new PictureFile(std::move(handle), static_cast<std::uint64_t>(info.st_size), maxBytes));
}

std::size_t PictureFile::ReadAt(std::uint64_t offset, char* into, std::size_t length) {
  length = static_cast<std::size_t>(std::min<std::uint64_t>(length, maxBytes_ - spent_));
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got =
        ::pread(handle_->fd.Get(), into + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  spent_ += done;
  return done;
}

}  // namespace tervane
