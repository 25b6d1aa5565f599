// What thumbnails a picture gets, what they are called, when they are made
// again and when they go. A thumbnail lives in a folder of its own inside the
// material folder; its name is the original's name, its size and the
// thumbnail's own extension ("IMG 1.jpg" -> "IMG 1.jpg.320x240.jpg"), so that
// two originals never share a thumbnail and a new size never overwrites an
// old one. The folder's manifest lists the thumbnails that were made, with
// their originals: only those are ever deleted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/dialog/linkaddress/picture_size.h"

namespace tervane {

/// The long edge of a thumbnail in CSS pixels when none is given.
inline constexpr std::uint32_t kDefaultThumbnailEdge = 320;
/// The long edges a user may ask for.
inline constexpr std::uint32_t kSmallestThumbnailEdge = 16;
inline constexpr std::uint32_t kLargestThumbnailEdge = 4096;
/// The thumbnail folder inside the material folder when none is given.
inline constexpr std::string_view kDefaultThumbnailFolder = "thumbs";
/// The manifest's name inside the thumbnail folder.
inline constexpr std::string_view kThumbnailManifest = ".tervane-thumbs";

/// A JPEG's thumbnail is a JPEG; a PNG's and a GIF's (its first frame) a PNG.
PictureFormat ThumbnailFormat(PictureFormat original);

struct ThumbnailPlan {
  /// The thumbnail shown, at most `edge` on its long edge, the original's
  /// aspect kept (each edge at least 1); also its width and height in CSS
  /// pixels.
  PictureSize size;
  /// The one for screens of twice the density, at twice the long edge, when
  /// the original has that many pixels in both directions.
  std::optional<PictureSize> size2x;
};

/// The thumbnails of a picture shown at `shown` (EXIF orientation applied)
/// for a long edge of `edge`; nullopt when the picture is no larger than
/// that, so that it is better shown itself.
std::optional<ThumbnailPlan> PlanThumbnails(PictureSize shown, std::uint32_t edge);

/// "<original>.<width>x<height>.jpg" (or ".png").
std::string ThumbnailName(std::string_view original, PictureSize size, PictureFormat format);

/// A thumbnail is made again when it is missing or older than its original
/// (times in any one unit; nullopt for a missing file).
bool ThumbnailIsStale(std::optional<std::int64_t> thumbnailTime, std::int64_t originalTime);

/// A thumbnail that was made, and the original it was made from.
struct ManifestEntry {
  std::string original;
  std::string thumbnail;
  friend bool operator==(const ManifestEntry&, const ManifestEntry&) = default;
};

/// The manifest's text: a line per entry, original and thumbnail separated
/// by a tab; "%", tab, CR and LF in names as %25, %09, %0D and %0A.
std::string ManifestText(const std::vector<ManifestEntry>& entries);
/// Reads ManifestText's form back; lines it cannot read are dropped.
std::vector<ManifestEntry> ReadManifest(std::string_view text);

/// `entries` with `made` added (each thumbnail listed once, sorted by
/// thumbnail name).
std::vector<ManifestEntry> WithEntries(std::vector<ManifestEntry> entries,
                                       const std::vector<ManifestEntry>& made);

/// Splits `entries` into those whose original is gone (`originalExists`
/// says no): their thumbnails are to be deleted; the rest stay listed.
struct ManifestSplit {
  std::vector<ManifestEntry> kept;
  std::vector<ManifestEntry> deleted;
};
template <typename Exists>
ManifestSplit SplitByOriginal(const std::vector<ManifestEntry>& entries, Exists originalExists) {
  ManifestSplit split;
  for (const ManifestEntry& entry : entries) {
    (originalExists(entry.original) ? split.kept : split.deleted).push_back(entry);
  }
  return split;
}

/// The address of thumbnail `thumbnailName` in thumbnail folder `folder`
/// ("a/b", see IsThumbnailFolder) of the original whose link address is
/// `originalAddress`: the original's folder address, the folder's names and
/// the thumbnail's, each encoded as LinkAddress encodes a name.
std::string ThumbnailAddress(std::string_view originalAddress, std::string_view folder,
                             std::string_view thumbnailName);

/// Whether `thumbnail` is a name that ThumbnailName gives `original` (at any
/// size), both plain names of one folder.
bool IsThumbnailOf(std::string_view thumbnail, std::string_view original);

/// The original's name within a thumbnail's name: what ThumbnailName was
/// given; nullopt for a name that is no thumbnail's.
std::optional<std::string_view> OriginalOfThumbnail(std::string_view thumbnail);

/// Whether `folder` can name a thumbnail folder: relative to the material
/// folder, inside it ("a", "a/b"), with "/" between names, no empty, "."
/// or ".." name, no "\" or ":" (which Windows reads as separators).
bool IsThumbnailFolder(std::string_view folder);

}  // namespace tervane
