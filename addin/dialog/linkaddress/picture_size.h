// The width and height of a picture, read from the first bytes of its file:
// the frame header of a JPEG file (with the EXIF orientation, which browsers
// apply), the IHDR chunk of a PNG file, the logical screen of a GIF file.
// Only the header is read, never more than kMaxPictureHeaderBytes, so a
// folder of large pictures costs little more than a folder of names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace tervane {

/// The most of a picture's file that is ever read for its size.
inline constexpr std::size_t kMaxPictureHeaderBytes = 64 * 1024;

struct PictureSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

enum class PictureFormat { kJpeg, kPng, kGif };

/// What the first bytes of a file say about the picture's size.
struct PictureHeader {
  enum class State { kSize, kNeedMore, kUnreadable };
  State state = State::kUnreadable;
  /// kSize: as a browser lays the picture out (width and height swapped for
  /// an EXIF orientation that turns it by a quarter); both at least 1.
  PictureSize size;
  /// kNeedMore: a longer prefix to call again with (more than was given, at
  /// most kMaxPictureHeaderBytes).
  std::size_t needed = 0;
  /// kSize: the format, and the EXIF orientation (1 to 8; 1 when the file
  /// has none, and always for PNG and GIF).
  PictureFormat format = PictureFormat::kJpeg;
  std::uint32_t orientation = 1;
};

/// Reads `prefix`, the first bytes of a file. A file that is none of the
/// three formats, a header that is cut short or lies about its lengths, a
/// size of 0 or above 2^31 - 1, and a JPEG whose frame header lies beyond
/// kMaxPictureHeaderBytes are all unreadable.
PictureHeader ReadPictureHeader(std::string_view prefix);

/// Reads the size through `read` (which fills up to `length` bytes at `into`
/// with the file's next bytes and returns how many; 0 at its end), asking
/// for no more than the header needs. nullopt when unreadable.
std::optional<PictureSize> ReadPictureSize(
    const std::function<std::size_t(char* into, std::size_t length)>& read);

/// As ReadPictureSize, giving the whole header (state kSize), or nullopt.
std::optional<PictureHeader> ReadPictureHeaderFrom(
    const std::function<std::size_t(char* into, std::size_t length)>& read);

}  // namespace tervane
