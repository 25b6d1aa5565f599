// What `tervane` adds to the markup the dialog makes, beyond the picture
// sizes: pictures' own titles, lazy loading, a class on every item, and the
// order of the items.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "addin/dialog/linkaddress/picture_metadata.h"
#include "addin/dialog/linkaddress/picture_order.h"

namespace tervane::cli {

class Site;

/// The metadata of the picture at `path`, read as its size is read; none for
/// a file that cannot be opened.
PictureMetadata PictureMetadataOfFile(const std::filesystem::path& path);

/// The title a picture's metadata gives it (see picture_title.h), else its
/// file name without the extension.
std::string PictureAltText(const std::filesystem::path& folder, const std::string& name);

struct ItemSettings {
  bool lazy = false;
  std::optional<std::string> className;
  PictureOrder sort = PictureOrder::kName;
  bool reverse = false;
};

/// Gives the markup of each file `names[i]` of `folder` (in list order)
/// the attributes `settings` ask for, then puts the pieces and the names in
/// the order asked for. `taken` reads each picture's date taken (its
/// modification time when it has none, in local time as cameras keep it).
/// With a `site`, the metadata of a picture outside it is not read.
void ArrangeItems(std::vector<std::string>& markups, std::vector<std::string>& names,
                  const std::string& folder, const ItemSettings& settings,
                  const Site* site = nullptr);

}  // namespace tervane::cli
