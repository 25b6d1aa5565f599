// Pictures shown by thumbnails: `link` and `sync` with --thumbs (a block's
// `thumbs`). The thumbnails live in a folder inside the material folder, with
// a manifest of those that were made (see thumbnail_rules.h).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "addin/dialog/linkaddress/thumbnail_rules.h"

namespace tervane::cli {

struct ThumbnailSettings {
  /// Inside the material folder, "/" between names (IsThumbnailFolder).
  std::string folder{kDefaultThumbnailFolder};
  /// The long edge in CSS pixels.
  std::uint32_t edge = kDefaultThumbnailEdge;
  friend bool operator==(const ThumbnailSettings&, const ThumbnailSettings&) = default;
};

/// Shows each picture of `markups` by its thumbnail: `markups[i]` is the
/// markup of file `names[i]` of `folder`. Its img element takes the
/// thumbnail's address, srcset and size (WithThumbnail); a picture no larger
/// than a thumbnail keeps its address and gains its own size. A thumbnail
/// that is missing or older than its original is made, when `write`, and
/// otherwise only decoded (so that a dry run says what a run would write).
/// With `write`, the thumbnails that were made of originals no longer in
/// `folder` are deleted, and no other file. A picture that cannot be read or
/// decoded keeps its markup and is named on `err`.
void AddThumbnails(std::vector<std::string>& markups, const std::vector<std::string>& names,
                   const std::string& folder, const ThumbnailSettings& settings, bool write,
                   std::ostream& err);

}  // namespace tervane::cli
