#include "addin/dialog/linkaddress/picture_size.h"

#include <algorithm>
#include <string>

namespace tervane {
namespace {

constexpr std::uint32_t kLargestSide = 0x7FFFFFFF;

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}
std::uint32_t Big16(std::string_view b, std::size_t at) {
  return Byte(b, at) << 8 | Byte(b, at + 1);
}
std::uint32_t Big32(std::string_view b, std::size_t at) {
  return Big16(b, at) << 16 | Big16(b, at + 2);
}
std::uint32_t Little16(std::string_view b, std::size_t at) {
  return Byte(b, at) | Byte(b, at + 1) << 8;
}
std::uint32_t Little32(std::string_view b, std::size_t at) {
  return Little16(b, at) | Little16(b, at + 2) << 16;
}

// The file seen through a window of recently read bytes. Every read counts
// against kMaxPictureHeaderBytes; a skip costs nothing until the bytes after
// it are asked for.
class Source {
 public:
  explicit Source(const PictureBytesAt& read) : read_(read) {}

  /// The `length` bytes at `offset`; nullopt when the file ends before them
  /// or reading them would go beyond the limit.
  std::optional<std::string_view> At(std::uint64_t offset, std::size_t length) {
    if (offset >= start_ && offset - start_ + length <= window_.size()) {
      return std::string_view(window_).substr(offset - start_, length);
    }
    // A new window, with what follows the asked bytes: the next segment
    // header usually comes with it.
    const std::size_t left = kMaxPictureHeaderBytes - spent_;
    if (length > left) return std::nullopt;
    window_.resize(std::min(std::max(length, kWindow), left));
    std::size_t got = 0;
    while (got < window_.size()) {
      const std::size_t count = read_(offset + got, window_.data() + got, window_.size() - got);
      if (count == 0) break;
      got += std::min(count, window_.size() - got);
    }
    window_.resize(got);
    start_ = offset;
    spent_ += got;
    if (got < length) return std::nullopt;
    return std::string_view(window_).substr(0, length);
  }

 private:
  static constexpr std::size_t kWindow = 512;
  const PictureBytesAt& read_;
  std::string window_;
  std::uint64_t start_ = 0;
  std::size_t spent_ = 0;
};

std::optional<PictureHeader> Sized(std::uint32_t width, std::uint32_t height, PictureFormat format,
                                   std::uint32_t orientation = 1) {
  if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) {
    return std::nullopt;
  }
  const bool turned = orientation >= 5;
  return PictureHeader{turned ? PictureSize{height, width} : PictureSize{width, height}, format,
                       orientation};
}

// The orientation that the TIFF structure in [tiff, end) (an EXIF block)
// carries, 1 to 8 (5 to 8 turn the picture by a quarter). A block that
// cannot be read, or holds another value, turns nothing: 1.
std::uint32_t ExifOrientation(Source& source, std::uint64_t tiff, std::uint64_t end) {
  if (tiff + 8 > end) return 1;
  const std::optional<std::string_view> header = source.At(tiff, 8);
  if (!header) return 1;
  const bool little = header->substr(0, 4) == std::string_view("II*\0", 4);
  if (!little && header->substr(0, 4) != std::string_view("MM\0*", 4)) return 1;
  const auto u16 = [&](std::string_view b, std::size_t at) {
    return little ? Little16(b, at) : Big16(b, at);
  };
  const auto u32 = [&](std::string_view b, std::size_t at) {
    return little ? Little32(b, at) : Big32(b, at);
  };
  const std::uint64_t ifd = tiff + u32(*header, 4);
  if (ifd + 2 > end) return 1;
  const std::optional<std::string_view> count = source.At(ifd, 2);
  if (!count) return 1;
  const std::uint32_t entries = u16(*count, 0);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint64_t at = ifd + 2 + std::uint64_t{i} * 12;
    if (at + 12 > end) return 1;
    const std::optional<std::string_view> entry = source.At(at, 12);
    if (!entry) return 1;
    // Orientation: type SHORT, one value, held in the entry itself.
    if (u16(*entry, 0) == 0x0112 && u16(*entry, 2) == 3 && u32(*entry, 4) == 1) {
      const std::uint32_t orientation = u16(*entry, 8);
      return orientation >= 1 && orientation <= 8 ? orientation : 1;
    }
  }
  return 1;
}

std::optional<PictureHeader> ReadGif(Source& source) {
  const std::optional<std::string_view> b = source.At(0, 10);
  if (!b) return std::nullopt;
  return Sized(Little16(*b, 6), Little16(*b, 8), PictureFormat::kGif);
}

// The first chunk must be IHDR of 13 bytes. An eXIf chunk before the image
// data turns the picture as a JPEG's EXIF block does.
std::optional<PictureHeader> ReadPng(Source& source) {
  const std::optional<std::string_view> ihdr = source.At(8, 16);
  if (!ihdr || Big32(*ihdr, 0) != 13 || ihdr->substr(4, 4) != "IHDR") return std::nullopt;
  const std::uint32_t width = Big32(*ihdr, 8), height = Big32(*ihdr, 12);
  if (!Sized(width, height, PictureFormat::kPng)) return std::nullopt;
  std::uint32_t orientation = 1;
  for (std::uint64_t at = 8 + 8 + 13 + 4;;) {
    const std::optional<std::string_view> chunk = source.At(at, 8);
    if (!chunk) break;
    const std::string_view type = chunk->substr(4, 4);
    const std::uint64_t length = Big32(*chunk, 0);
    if (type == "IDAT" || type == "IEND" || length > kLargestSide) break;
    if (type == "eXIf") {
      orientation = ExifOrientation(source, at + 8, at + 8 + length);
      break;
    }
    at += 8 + length + 4;
  }
  return Sized(width, height, PictureFormat::kPng, orientation);
}

bool IsStartOfFrame(std::uint32_t marker) {
  // SOF0-SOF15 without DHT (C4), JPG (C8) and DAC (CC).
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PictureHeader> ReadJpeg(Source& source) {
  std::uint32_t orientation = 1;
  bool exifSeen = false;
  for (std::uint64_t at = 2;;) {
    const std::optional<std::string_view> b = source.At(at, 2);
    if (!b || Byte(*b, 0) != 0xFF) return std::nullopt;
    const std::uint32_t marker = Byte(*b, 1);
    if (marker == 0xFF) {  // a fill byte
      ++at;
      continue;
    }
    // Markers without a segment: TEM and the restart markers.
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    // A second start of image, the end of image, or the scan before any
    // frame header: no size to be found.
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0x00) return std::nullopt;
    const std::optional<std::string_view> lengthBytes = source.At(at + 2, 2);
    if (!lengthBytes) return std::nullopt;
    const std::uint64_t length = Big16(*lengthBytes, 0);
    if (length < 2) return std::nullopt;
    if (IsStartOfFrame(marker)) {
      // Length, precision, height, width.
      if (length < 8) return std::nullopt;
      const std::optional<std::string_view> frame = source.At(at + 5, 4);
      if (!frame) return std::nullopt;
      return Sized(Big16(*frame, 2), Big16(*frame, 0), PictureFormat::kJpeg, orientation);
    }
    if (marker == 0xE1 && !exifSeen && length >= 2 + 6) {
      const std::optional<std::string_view> id = source.At(at + 4, 6);
      if (id && *id == std::string_view("Exif\0\0", 6)) {
        orientation = ExifOrientation(source, at + 10, at + 2 + length);
        exifSeen = orientation != 1;
      }
    }
    at += 2 + length;
  }
}

}  // namespace

std::optional<PictureHeader> ReadPictureHeader(const PictureBytesAt& read) {
  static constexpr std::string_view kPng("\x89PNG\r\n\x1A\n", 8);
  Source source(read);
  const std::optional<std::string_view> start = source.At(0, 2);
  if (!start) return std::nullopt;
  if (Byte(*start, 0) == 0xFF && Byte(*start, 1) == 0xD8) return ReadJpeg(source);
  const std::optional<std::string_view> signature = source.At(0, 8);
  if (!signature) return std::nullopt;
  if (*signature == kPng) return ReadPng(source);
  if (signature->starts_with("GIF87a") || signature->starts_with("GIF89a")) return ReadGif(source);
  return std::nullopt;
}

std::optional<PictureSize> ReadPictureSize(const PictureBytesAt& read) {
  const std::optional<PictureHeader> header = ReadPictureHeader(read);
  if (!header) return std::nullopt;
  return header->size;
}

std::optional<PictureSize> PictureSizeOfBytes(std::string_view bytes) {
  return ReadPictureSize([bytes](std::uint64_t offset, char* into, std::size_t length) {
    if (offset >= bytes.size()) return std::size_t{0};
    return bytes.copy(into, length, static_cast<std::size_t>(offset));
  });
}

}  // namespace tervane
