// What a picture says about itself: its titles and the time it was taken,
// read from a JPEG file's EXIF, XMP and IPTC segments (APP1, APP13) and from
// a PNG file's text chunks (tEXt, uncompressed iTXt, eXIf, the XMP packet).
// Reading is bounded like the header reader: at most
// kMaxPictureMetadataBytes are read, a JPEG only up to its first scan, and
// whatever is cut short or lies about its lengths is skipped, never trusted.
// Texts come back as the file holds them; picture_title.h picks and decodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "addin/dialog/linkaddress/picture_size.h"

namespace tervane {

/// The most of a picture's file that is ever read for its metadata.
inline constexpr std::size_t kMaxPictureMetadataBytes = 1024 * 1024;

struct PictureMetadata {
  std::optional<std::string> xmpTitle;         // XMP dc:title (x-default first), UTF-8
  std::optional<std::string> xmpDescription;   // XMP dc:description, UTF-8
  std::optional<std::string> iptcCaption;      // IPTC 2:120 Caption-Abstract, as recorded
  bool iptcUtf8 = false;                       // the IPTC record declares UTF-8 (1:90 ESC % G)
  std::optional<std::string> exifDescription;  // EXIF ImageDescription, as recorded
  std::optional<std::string> xpTitle;          // EXIF XPTitle, UTF-16LE
  std::optional<std::string> pngTitle;         // PNG text chunk Title, UTF-8
  std::optional<std::string> pngDescription;   // PNG text chunk Description, UTF-8
  std::optional<std::string> taken;            // EXIF DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"
};

/// Random access to the picture's file, as the header reader has it.
using PictureReadAt = PictureBytesAt;

/// Reads the metadata of the picture `read` gives; a file that is neither a
/// JPEG nor a PNG file gives none.
PictureMetadata ReadPictureMetadata(const PictureReadAt& read);

/// The XMP packet's titles, for a packet found anywhere: dc:title and
/// dc:description, each the x-default alternative, else the first.
void ReadXmpTitles(std::string_view packet, PictureMetadata& metadata);

}  // namespace tervane
