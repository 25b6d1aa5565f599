// Thumbnails of pictures, made by the platform's imaging library: libvips on
// POSIX systems (it shrinks a JPEG while it decodes it), the Windows Imaging
// Component on Windows. Either way the thumbnail shows the picture as a
// browser does (EXIF orientation applied to the pixels), in sRGB, with no
// metadata of the original (no camera position leaves the site by way of a
// thumbnail).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "addin/dialog/linkaddress/picture_size.h"
#include "addin/dialog/linkaddress/thumbnail_rules.h"

namespace tervane {

class ThumbnailMaker {
 public:
  /// Throws Error when the imaging library cannot be started.
  ThumbnailMaker();
  ~ThumbnailMaker();
  ThumbnailMaker(const ThumbnailMaker&) = delete;
  ThumbnailMaker& operator=(const ThumbnailMaker&) = delete;

  struct Outcome {
    /// One encoded file per size asked for, in that order; empty when the
    /// picture cannot be decoded.
    std::vector<std::string> files;
    /// Why not, when `files` is empty.
    std::string problem;
  };

  /// Decodes the picture at `path` (UTF-8) once (a GIF's first frame) and
  /// encodes it at each of `sizes` (largest first, each exactly that many
  /// pixels, in the aspect of the picture as shown) in `format` (JPEG or
  /// PNG). `orientation` is the EXIF orientation (1 to 8) the picture's
  /// header holds, for libraries that do not read it themselves.
  Outcome Make(const std::string& path, std::uint32_t orientation,
               const std::vector<PictureSize>& sizes, PictureFormat format);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tervane
