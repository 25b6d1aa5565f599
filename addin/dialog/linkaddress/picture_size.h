// The width and height of a picture, read from its header: the frame header
// of a JPEG file (with the EXIF orientation, which browsers apply), the IHDR
// chunk of a PNG file (with the orientation of its eXIf chunk), the logical
// screen of a GIF file. Segments and chunks that say nothing of the size
// (colour profiles, XMP, thumbnails) are skipped without being read, so a
// folder of large pictures costs little more than a folder of names, however
// much metadata comes before the size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace tervane {

/// The most bytes of a picture's file that are ever read for its size. The
/// offset reached may lie much further on.
inline constexpr std::size_t kMaxPictureHeaderBytes = 64 * 1024;

struct PictureSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

enum class PictureFormat { kJpeg, kPng, kGif };

/// What a picture's header says: its size as laid out, its format, and its
/// EXIF orientation (1 to 8; 1 when it has none, and for GIF).
struct PictureHeader {
  PictureSize size;
  PictureFormat format = PictureFormat::kJpeg;
  std::uint32_t orientation = 1;
};

/// Random access to a picture's file: fills up to `length` bytes at `into`
/// with the file's bytes from `offset` on, and returns how many (fewer only
/// at its end or on a failure).
using PictureBytesAt =
    std::function<std::size_t(std::uint64_t offset, char* into, std::size_t length)>;

/// The size as a browser lays the picture out (width and height swapped for
/// an EXIF orientation that turns it by a quarter: 5 to 8), both at least 1.
/// nullopt when unreadable: none of the three formats, a header that is cut
/// short or lies about its lengths, a side of 0 or above 2^31 - 1, or a size
/// that reading kMaxPictureHeaderBytes does not reach.
std::optional<PictureSize> ReadPictureSize(const PictureBytesAt& read);

/// The same, with the format and orientation.
std::optional<PictureHeader> ReadPictureHeader(const PictureBytesAt& read);

/// The same for a file whose bytes are all at hand.
std::optional<PictureSize> PictureSizeOfBytes(std::string_view bytes);

}  // namespace tervane
