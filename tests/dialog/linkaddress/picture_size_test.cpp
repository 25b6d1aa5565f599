#include "addin/dialog/linkaddress/picture_size.h"

#include <gtest/gtest.h>

#include <string>

namespace tervane {
namespace {

std::string Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string Be32(unsigned v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

std::string Png(unsigned width, unsigned height, const char* chunk = "IHDR") {
  return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + chunk + Be32(width) + Be32(height) +
         std::string("\x08\x06\0\0\0", 5) + "CRC!";
}
std::string Gif(unsigned width, unsigned height) {
  return "GIF89a" + Le16(width) + Le16(height) + std::string("\xF7\0\0", 3);
}
// A segment: marker, then its length (which counts itself) and payload.
std::string Segment(unsigned marker, const std::string& payload) {
  return std::string{'\xFF', static_cast<char>(marker)} + Be16(payload.size() + 2) + payload;
}
std::string Frame(unsigned marker, unsigned width, unsigned height) {
  return Segment(marker, "\x08" + Be16(height) + Be16(width) + std::string("\x03\x01\x22\0", 4));
}
// An EXIF block with the orientation `orientation`, padded to `padding`.
std::string Exif(unsigned orientation, std::size_t padding = 0, bool little = false) {
  const auto u16 = [little](unsigned v) { return little ? Le16(v) : Be16(v); };
  const auto u32 = [&](unsigned v) {
    return little ? u16(v & 0xFFFF) + u16(v >> 16) : u16(v >> 16) + u16(v & 0xFFFF);
  };
  std::string tiff = (little ? std::string("II*\0", 4) : std::string("MM\0*", 4)) + u32(8) +
                     u16(1) + u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0) + u32(0);
  return Segment(0xE1, std::string("Exif\0\0", 6) + tiff + std::string(padding, '\0'));
}
const std::string kSoi("\xFF\xD8", 2);
const std::string kJfif = Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));

// Metadata that photo editors put before a JPEG's frame header: an ICC
// profile of `icc` bytes in APP2 segments, then XMP of `xmp` bytes in APP1
// segments (an extended XMP beyond one segment).
std::string Metadata(std::size_t icc, std::size_t xmp) {
  std::string segments;
  constexpr std::size_t kMostInOne = 60000;
  for (std::size_t done = 0, part = 1; done < icc; done += kMostInOne, ++part) {
    const std::size_t size = std::min(kMostInOne, icc - done);
    segments += Segment(0xE2, std::string("ICC_PROFILE\0", 12) + static_cast<char>(part) +
                                  static_cast<char>((icc + kMostInOne - 1) / kMostInOne) +
                                  std::string(size, 'c'));
  }
  for (std::size_t done = 0; done < xmp; done += kMostInOne) {
    segments += Segment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0", 29) +
                                  std::string(std::min(kMostInOne, xmp - done), 'x'));
  }
  return segments;
}
// A PNG chunk (its CRC not checked by the reader).
std::string Chunk(const char* type, const std::string& data) {
  return Be32(data.size()) + type + data + "CRC!";
}
// The TIFF structure of an EXIF block, as PNG's eXIf chunk holds it.
std::string Tiff(unsigned orientation) { return Exif(orientation).substr(10); }

// The size read from `bytes`, adding the bytes read to `given`.
std::optional<PictureSize> SizeOf(const std::string& bytes, std::size_t& given) {
  return ReadPictureSize([&](std::uint64_t offset, char* into, std::size_t length) {
    if (offset >= bytes.size()) return std::size_t{0};
    const std::size_t count = bytes.copy(into, length, offset);
    given += count;
    return count;
  });
}

TEST(PictureSizeTest, ReadsTheHeaderOfEachFormat) {
  const std::string idat = Chunk("IDAT", "pixels");
  const struct {
    const char* what;
    std::string bytes;
    std::optional<PictureSize> size;
    std::uint32_t orientation = 1;
  } cases[] = {
      {"PNG", Png(640, 480), PictureSize{640, 480}},
      {"PNG, first chunk not IHDR", Png(640, 480, "IDAT"), std::nullopt},
      {"PNG, zero width", Png(0, 480), std::nullopt},
      {"PNG, wider than 2^31 - 1", Png(0x80000000u, 1), std::nullopt},
      {"PNG, eXIf turned by a quarter", Png(8, 6) + Chunk("eXIf", Tiff(6)) + idat,
       PictureSize{6, 8}, 6},
      {"PNG, eXIf upside down", Png(8, 6) + Chunk("eXIf", Tiff(3)) + idat, PictureSize{8, 6}, 3},
      {"PNG, eXIf after 200 KiB of text",
       Png(8, 6) + Chunk("iTXt", std::string(200 << 10, 't')) + Chunk("eXIf", Tiff(8)) + idat,
       PictureSize{6, 8}, 8},
      {"PNG, eXIf after the image data", Png(8, 6) + idat + Chunk("eXIf", Tiff(6)),
       PictureSize{8, 6}},
      {"GIF", Gif(3, 2), PictureSize{3, 2}},
      {"GIF87a", "GIF87a" + Le16(300) + Le16(1), PictureSize{300, 1}},
      {"JPEG, baseline", kSoi + kJfif + Frame(0xC0, 1024, 768) + Segment(0xC4, "h"),
       PictureSize{1024, 768}},
      {"JPEG, progressive", kSoi + kJfif + Segment(0xDB, "q") + Frame(0xC2, 17, 9),
       PictureSize{17, 9}},
      {"JPEG, fill bytes between segments", kSoi + "\xFF\xFF" + Frame(0xC1, 5, 6),
       PictureSize{5, 6}},
      {"JPEG, EXIF of 40 KiB before the frame", kSoi + Exif(1, 40000) + Frame(0xC0, 800, 600),
       PictureSize{800, 600}},
      // The eight orientations: 5 to 8 turn by a quarter (5 and 7 mirrored
      // as well, as front cameras write them), 1 to 4 do not.
      {"JPEG, orientation 1", kSoi + Exif(1) + Frame(0xC0, 8, 6), PictureSize{8, 6}},
      {"JPEG, orientation 2 (mirrored)", kSoi + Exif(2) + Frame(0xC0, 8, 6), PictureSize{8, 6}, 2},
      {"JPEG, orientation 3 (upside down)", kSoi + Exif(3) + Frame(0xC0, 8, 6), PictureSize{8, 6},
       3},
      {"JPEG, orientation 4 (flipped)", kSoi + Exif(4) + Frame(0xC0, 8, 6), PictureSize{8, 6}, 4},
      {"JPEG, orientation 5 (transposed)", kSoi + Exif(5) + Frame(0xC0, 8, 6), PictureSize{6, 8},
       5},
      {"JPEG, orientation 6", kSoi + Exif(6) + Frame(0xC0, 800, 600), PictureSize{600, 800}, 6},
      {"JPEG, orientation 7 (transversed)", kSoi + Exif(7, 0, true) + Frame(0xC0, 8, 6),
       PictureSize{6, 8}, 7},
      {"JPEG, orientation 8, little-endian", kSoi + Exif(8, 0, true) + Frame(0xC2, 8, 6),
       PictureSize{6, 8}, 8},
      {"JPEG, orientation 9 is none", kSoi + Exif(9) + Frame(0xC0, 8, 6), PictureSize{8, 6}},
      {"JPEG, 130 KiB of ICC profile and XMP before the frame",
       kSoi + kJfif + Exif(6) + Metadata(100 << 10, 30 << 10) + Frame(0xC0, 8, 6),
       PictureSize{6, 8}, 6},
      {"JPEG, 431 KiB of ICC profile and 200 KiB of XMP",
       kSoi + Metadata(431 << 10, 200 << 10) + Exif(5) + Frame(0xC0, 4000, 3000),
       PictureSize{3000, 4000}, 5},
      {"JPEG, a segment as long as it can be",
       kSoi + "\xFF\xE0\xFF\xFF" + std::string(65533, 'x') + Frame(0xC0, 8, 8), PictureSize{8, 8}},
      {"JPEG, DHT (C4) is no frame", kSoi + Segment(0xC4, std::string(9, '\1')), std::nullopt},
      {"JPEG, height 0 (given later by DNL)", kSoi + Frame(0xC0, 8, 0), std::nullopt},
      {"JPEG, scan before any frame", kSoi + Segment(0xDA, "s") + Frame(0xC0, 8, 8), std::nullopt},
      {"JPEG, segment length below 2", kSoi + "\xFF\xE0" + Be16(1) + Frame(0xC0, 8, 8),
       std::nullopt},
      {"JPEG, no marker where one must be", kSoi + "xx" + Frame(0xC0, 8, 8), std::nullopt},
      {"JPEG, a segment that lies past the end", kSoi + "\xFF\xE0\xFF\xFF" + Frame(0xC0, 8, 8),
       std::nullopt},
      {"JPEG, more small segments than the limit reads",
       [] {
         std::string many = kSoi;
         while (many.size() < kMaxPictureHeaderBytes + 4) many += Segment(0xFE, "");
         return many + Frame(0xC0, 8, 8);
       }(),
       std::nullopt},
      {"JPEG, fill bytes beyond the limit",
       kSoi + std::string(kMaxPictureHeaderBytes, '\xFF') + Frame(0xC0, 8, 8), std::nullopt},
      {"JPEG, cut inside the frame", (kSoi + Frame(0xC0, 8, 8)).substr(0, 8), std::nullopt},
      {"PNG, cut before its size", Png(1, 1).substr(0, 20), std::nullopt},
      {"GIF, cut before its size", Gif(1, 1).substr(0, 8), std::nullopt},
      {"text", "<html>", std::nullopt},
      {"empty", "", std::nullopt},
      {"BMP", "BM" + std::string(60, '\0'), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t given = 0;
    const std::optional<PictureSize> size = SizeOf(c.bytes, given);
    EXPECT_EQ(size, c.size);
    EXPECT_LE(given, kMaxPictureHeaderBytes);
    EXPECT_EQ(PictureSizeOfBytes(c.bytes), c.size);
    // The whole header says the same, with the format and orientation.
    const std::optional<PictureHeader> header =
        ReadPictureHeader([&](std::uint64_t offset, char* into, std::size_t length) {
          return offset >= c.bytes.size() ? std::size_t{0} : c.bytes.copy(into, length, offset);
        });
    ASSERT_EQ(header.has_value(), c.size.has_value());
    if (c.size) {
      EXPECT_EQ(header->size, *c.size);
      EXPECT_EQ(header->orientation, c.orientation);
      const std::string_view what = c.what;
      EXPECT_EQ(header->format, what.starts_with("PNG")   ? PictureFormat::kPng
                                : what.starts_with("GIF") ? PictureFormat::kGif
                                                          : PictureFormat::kJpeg);
    }
  }
}

// The reader stops at the header, and skips what lies before it unread: a
// large picture costs a first read, metadata before a JPEG's frame header
// only the reads of its segment headers and of the EXIF orientation.
TEST(PictureSizeTest, ReadsNoFurtherThanTheHeader) {
  const struct {
    const char* what;
    std::string bytes;
    std::size_t mostRead;
  } cases[] = {
      {"PNG of 1 MB", Png(9, 9) + std::string(1 << 20, 'p'), 512},
      {"JPEG of 1 MB", kSoi + Frame(0xC0, 9, 9) + std::string(1 << 20, 'j'), 512},
      {"JPEG with 20 KiB of EXIF",
       kSoi + Exif(1, 20000) + Frame(0xC0, 9, 9) + std::string(1 << 20, 'j'), 1024},
      {"JPEG with 431 KiB of ICC profile and 200 KiB of XMP",
       kSoi + Metadata(431 << 10, 200 << 10) + Frame(0xC0, 9, 9) + std::string(1 << 20, 'j'),
       512 * 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t given = 0;
    const std::optional<PictureSize> size = SizeOf(c.bytes, given);
    EXPECT_EQ(size, (PictureSize{9, 9}));
    EXPECT_LE(given, c.mostRead);
  }
}

}  // namespace
}  // namespace tervane
