#include "addin/dialog/linkaddress/picture_size.h"

#include <algorithm>
#include <string>

namespace tervane {
namespace {

using State = PictureHeader::State;

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

PictureHeader Unreadable() { return {}; }

PictureHeader NeedMore(std::size_t needed) {
  if (needed > kMaxPictureHeaderBytes) return Unreadable();
  return {State::kNeedMore, {}, needed};
}

PictureHeader Sized(std::uint32_t width, std::uint32_t height) {
  if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) {
    return Unreadable();
  }
  return {State::kSize, {width, height}, 0};
}

PictureHeader ReadPng(std::string_view b) {
  // Signature, then the first chunk, which must be IHDR of 13 bytes.
  if (b.size() < 24) return NeedMore(24);
  if (Big32(b, 8) != 13 || b.substr(12, 4) != "IHDR") return Unreadable();
  return Sized(Big32(b, 16), Big32(b, 20));
}

PictureHeader ReadGif(std::string_view b) {
  if (b.size() < 10) return NeedMore(10);
  return Sized(Little16(b, 6), Little16(b, 8));
}

// The EXIF orientation of an APP1 segment's payload (after its length), 1
// to 8 (5 to 8 turn the picture by a quarter). A payload that is not EXIF,
// or cannot be read, or holds another value, turns nothing: 1.
std::uint32_t ExifOrientation(std::string_view payload) {
  if (payload.size() < 14 || payload.substr(0, 6) != std::string_view("Exif\0\0", 6)) return 1;
  const std::string_view tiff = payload.substr(6);
  const bool little = tiff.substr(0, 4) == std::string_view("II*\0", 4);
  if (!little && tiff.substr(0, 4) != std::string_view("MM\0*", 4)) return 1;
  const auto u16 = [&](std::size_t at) { return little ? Little16(tiff, at) : Big16(tiff, at); };
  const auto u32 = [&](std::size_t at) -> std::uint64_t {
    return little ? (Little16(tiff, at) | std::uint64_t{Little16(tiff, at + 2)} << 16)
                  : Big32(tiff, at);
  };
  const std::uint64_t ifd = u32(4);
  if (ifd + 2 > tiff.size()) return 1;
  const std::uint32_t entries = u16(ifd);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint64_t entry = ifd + 2 + std::uint64_t{i} * 12;
    if (entry + 12 > tiff.size()) return 1;
    // Orientation: type SHORT, one value, held in the entry itself.
    if (u16(entry) == 0x0112 && u16(entry + 2) == 3 && u32(entry + 4) == 1) {
      const std::uint32_t orientation = u16(entry + 8);
      return orientation >= 1 && orientation <= 8 ? orientation : 1;
    }
  }
  return 1;
}

bool IsStartOfFrame(std::uint32_t marker) {
  // SOF0-SOF15 without DHT (C4), JPG (C8) and DAC (CC).
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

PictureHeader ReadJpeg(std::string_view b) {
  std::uint32_t orientation = 1;
  bool exifSeen = false;
  std::size_t at = 2;
  for (;;) {
    if (at + 2 > b.size()) return NeedMore(at + 2);
    if (Byte(b, at) != 0xFF) return Unreadable();
    const std::uint32_t marker = Byte(b, at + 1);
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
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0x00) return Unreadable();
    if (at + 4 > b.size()) return NeedMore(at + 4);
    const std::size_t length = Big16(b, at + 2);
    if (length < 2) return Unreadable();
    if (IsStartOfFrame(marker)) {
      // Length, precision, height, width.
      if (length < 8) return Unreadable();
      if (at + 9 > b.size()) return NeedMore(at + 9);
      const std::uint32_t height = Big16(b, at + 5);
      const std::uint32_t width = Big16(b, at + 7);
      PictureHeader header = orientation >= 5 ? Sized(height, width) : Sized(width, height);
      header.orientation = orientation;
      return header;
    }
    if (marker == 0xE1 && !exifSeen) {
      if (at + 2 + length > b.size()) return NeedMore(at + 2 + length);
      orientation = ExifOrientation(b.substr(at + 4, length - 2));
      exifSeen = orientation != 1;
    }
    at += 2 + length;
  }
}

}  // namespace

PictureHeader ReadPictureHeader(std::string_view prefix) {
  static constexpr std::string_view kPng("\x89PNG\r\n\x1A\n", 8);
  if (prefix.size() < 2) return NeedMore(8);
  if (Byte(prefix, 0) == 0xFF && Byte(prefix, 1) == 0xD8) return ReadJpeg(prefix);
  if (prefix.size() < 8) {
    const bool mayBe =
        kPng.starts_with(prefix) || std::string_view("GIF8").starts_with(prefix.substr(0, 4));
    return mayBe ? NeedMore(8) : Unreadable();
  }
  if (prefix.starts_with(kPng)) {
    PictureHeader header = ReadPng(prefix);
    header.format = PictureFormat::kPng;
    return header;
  }
  if (prefix.starts_with("GIF87a") || prefix.starts_with("GIF89a")) {
    PictureHeader header = ReadGif(prefix);
    header.format = PictureFormat::kGif;
    return header;
  }
  return Unreadable();
}

std::optional<PictureSize> ReadPictureSize(
    const std::function<std::size_t(char* into, std::size_t length)>& read) {
  const std::optional<PictureHeader> header = ReadPictureHeaderFrom(read);
  if (!header) return std::nullopt;
  return header->size;
}

std::optional<PictureHeader> ReadPictureHeaderFrom(
    const std::function<std::size_t(char* into, std::size_t length)>& read) {
  // Most headers end in the first few hundred bytes; an EXIF block before a
  // JPEG frame header takes the reads further, as far as the limit.
  std::string prefix;
  std::size_t wanted = 512;
  for (;;) {
    const std::size_t had = prefix.size();
    prefix.resize(wanted);
    std::size_t got = had;
    while (got < wanted) {
      const std::size_t count = read(prefix.data() + got, wanted - got);
      if (count == 0) break;
      got += count;
    }
    prefix.resize(got);
    const PictureHeader header = ReadPictureHeader(prefix);
    if (header.state == State::kSize) return header;
    if (header.state == State::kUnreadable || got < wanted || header.needed <= got) {
      return std::nullopt;
    }
    wanted = std::min(std::max(header.needed, got * 2), kMaxPictureHeaderBytes);
  }
}

}  // namespace tervane
