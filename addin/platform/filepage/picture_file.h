// A picture's file opened for a bounded read of its header or metadata, by
// whoever reads pictures (sizes, titles, thumbnails). Pictures come from
// folders that others fill: a name may be a FIFO, a device or a link into
// /proc, where opening or reading blocks, never ends, or consumes what it
// reads (the kernel's messages). Only a regular file on a file system that
// stores its files is opened, without blocking; everything else is refused
// before a byte is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tervane {

class PictureFile {
 public:
  /// The file at `path` (UTF-8), of which at most `maxBytes` are read in
  /// all; nullptr when it is missing or unreadable, is no regular file (a
  /// FIFO, a device, a folder) or lies on a file system whose contents are
  /// made when read (/proc, /sys and their kind).
  static std::unique_ptr<PictureFile> Open(const std::string& path, std::uint64_t maxBytes);
  ~PictureFile();
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  /// Fills up to `length` bytes at `into` with the bytes from `offset` on
  /// and returns how many: fewer at the end of the file, after a failure,
  /// or when `maxBytes` are spent. Any offset may be asked for; only the
  /// bytes read count.
  std::size_t ReadAt(std::uint64_t offset, char* into, std::size_t length);
  /// The file's size when it was opened.
  std::uint64_t Size() const { return size_; }
  /// The bytes read so far.
  std::uint64_t BytesRead() const { return spent_; }

 private:
  struct Handle;
  PictureFile(std::unique_ptr<Handle> handle, std::uint64_t size, std::uint64_t maxBytes);

  std::unique_ptr<Handle> handle_;
  std::uint64_t size_;
  std::uint64_t maxBytes_;
  std::uint64_t spent_ = 0;
};

}  // namespace tervane
