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

class Site;

struct ThumbnailSettings {
  /// Inside the material folder, "/" between names (IsThumbnailFolder).
  std::string folder{kDefaultThumbnailFolder};
  /// The long edge in CSS pixels.
  std::uint32_t edge = kDefaultThumbnailEdge;
  friend bool operator==(const ThumbnailSettings&, const ThumbnailSettings&) = default;
};

/// What AddThumbnails does with a thumbnail that is missing or older than
/// its original.
enum class ThumbnailWork {
  kMake,    // makes it; deletes the thumbnails of originals that are gone
  kDecode,  // only decodes the original, so that a dry run says what fails
  kNone,    // nothing: the markup as it would be once made
};

/// Shows each picture of `markups` by its thumbnail: `markups[i]` is the
/// markup of file `names[i]` of `folder`. Its img element takes the
/// thumbnail's address, srcset and size (WithThumbnail); a picture no larger
/// than a thumbnail keeps its address and gains its own size. kMake deletes
/// only thumbnails that the manifest lists as made from an original no
/// longer in `folder`. A picture that cannot be read or decoded keeps its
/// markup and is named on `err`. With a `site`, originals outside it are not
/// read, and a thumbnail folder outside it is neither written nor cleaned.
void AddThumbnails(std::vector<std::string>& markups, const std::vector<std::string>& names,
                   const std::string& folder, const ThumbnailSettings& settings, ThumbnailWork work,
                   std::ostream& err, const Site* site = nullptr);

}  // namespace tervane::cli
