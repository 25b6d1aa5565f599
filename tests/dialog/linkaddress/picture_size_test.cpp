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

TEST(PictureSizeTest, ReadsTheHeaderOfEachFormat) {
  using State = PictureHeader::State;
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
      {"JPEG, EXIF turned by a quarter", kSoi + Exif(6) + Frame(0xC0, 800, 600),
       PictureSize{600, 800}, 6},
      {"JPEG, EXIF little-endian, orientation 8", kSoi + Exif(8, 0, true) + Frame(0xC2, 8, 6),
       PictureSize{6, 8}, 8},
      {"JPEG, EXIF upside down keeps the sides", kSoi + Exif(3) + Frame(0xC0, 8, 6),
       PictureSize{8, 6}, 3},
      {"JPEG, EXIF orientation out of range", kSoi + Exif(9) + Frame(0xC0, 8, 6),
       PictureSize{8, 6}},
      {"JPEG, DHT (C4) is no frame", kSoi + Segment(0xC4, std::string(9, '\1')), std::nullopt},
      {"JPEG, height 0 (given later by DNL)", kSoi + Frame(0xC0, 8, 0), std::nullopt},
      {"JPEG, scan before any frame", kSoi + Segment(0xDA, "s") + Frame(0xC0, 8, 8), std::nullopt},
      {"JPEG, segment length below 2", kSoi + "\xFF\xE0" + Be16(1) + Frame(0xC0, 8, 8),
       std::nullopt},
      {"JPEG, no marker where one must be", kSoi + "xx" + Frame(0xC0, 8, 8), std::nullopt},
      {"JPEG, frame beyond 64 KiB",
       kSoi + Exif(1, 40000) + Segment(0xE2, std::string(30000, 0)) + Frame(0xC0, 8, 8),
       std::nullopt},
      {"JPEG, lengths that lie past the limit",
       kSoi + "\xFF\xE0\xFF\xFF" + std::string(65533, 'x') + Frame(0xC0, 8, 8), std::nullopt},
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
    const std::optional<PictureSize> size = ReadPictureSize([&](char* into, std::size_t length) {
      const std::size_t count = std::min(length, c.bytes.size() - std::min(given, c.bytes.size()));
      c.bytes.copy(into, count, given);
      given += count;
      return count;
    });
    EXPECT_EQ(size, c.size);
    EXPECT_LE(given, kMaxPictureHeaderBytes);
    // The whole prefix at once says the same.
    const PictureHeader header = ReadPictureHeader(c.bytes.substr(0, kMaxPictureHeaderBytes));
    EXPECT_EQ(header.state == State::kSize, c.size.has_value());
    if (c.size) {
      EXPECT_EQ(header.size, *c.size);
      EXPECT_EQ(header.orientation, c.orientation);
      const std::string_view what = c.what;
      EXPECT_EQ(header.format, what.starts_with("PNG")   ? PictureFormat::kPng
                               : what.starts_with("GIF") ? PictureFormat::kGif
                                                         : PictureFormat::kJpeg);
    }
  }
}

// The reader stops at the header: a large picture costs a first read, and
// a JPEG's EXIF block only as far as its frame header.
TEST(PictureSizeTest, ReadsNoFurtherThanTheHeader) {
  const struct {
    const char* what;
    std::string bytes;
    std::size_t mostRead;
  } cases[] = {
      {"PNG of 1 MB", Png(9, 9) + std::string(1 << 20, 'p'), 512},
      {"JPEG of 1 MB", kSoi + Frame(0xC0, 9, 9) + std::string(1 << 20, 'j'), 512},
      {"JPEG with 20 KiB of EXIF",
       kSoi + Exif(1, 20000) + Frame(0xC0, 9, 9) + std::string(1 << 20, 'j'), 41000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::size_t given = 0;
    const auto size = ReadPictureSize([&](char* into, std::size_t length) {
      const std::size_t count = std::min(length, c.bytes.size() - given);
      c.bytes.copy(into, count, given);
      given += count;
      return count;
    });
    EXPECT_EQ(size, (PictureSize{9, 9}));
    EXPECT_LE(given, c.mostRead);
  }
}

}  // namespace
}  // namespace tervane
