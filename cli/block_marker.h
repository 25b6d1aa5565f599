// The comments that mark a block of links `tervane sync` keeps:
//   <!-- tervane folder="img" kinds="jpeg,gif-png" mode="image" size alt -->
//   <!-- tervane folder="img" mode="image-link" thumbs="small" thumb-size="200" -->
//   <!-- tervane folder="photos" mode="image-link" alt thumbs sort="natural"
//        reverse lazy class="gallery" -->
//   ...the links, one a line...
//   <!-- /tervane -->
// The start comment holds the block's settings: name="value" pairs and bare
// flags, separated by blanks. In values, &amp; &lt; &gt; and &quot; stand for
// "&", "<", ">" and the double quote, so that no folder name can end the
// comment early.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/markup.h"
#include "addin/dialog/linkaddress/picture_order.h"
#include "cli/thumbnails.h"

namespace tervane::cli {

struct Options;

struct BlockSettings {
  /// Relative to the page's folder (or absolute), as written.
  std::string folder;
  std::array<bool, 4> kinds = {false, true, true, false};
  DisplayMode mode = DisplayMode::kTextLink;
  bool size = false;
  bool alt = false;
  /// `thumbs` or `thumbs="DIR"`, with `thumb-size="N"`.
  std::optional<ThumbnailSettings> thumbs;
  PictureOrder sort = PictureOrder::kName;
  bool reverse = false;
  bool lazy = false;
  std::optional<std::string> className;
  friend bool operator==(const BlockSettings&, const BlockSettings&) = default;
};

struct Marker {
  enum class Kind { kNone, kStart, kEnd };
  Kind kind = Kind::kNone;
  /// kStart: the settings, or nullopt with `problem` saying what is wrong.
  std::optional<BlockSettings> settings;
  std::string problem;
};

/// What a comment's text (between "<!--" and "-->") is: a start comment
/// begins with the word "tervane", an end comment is "/tervane"; blanks
/// around either do not count. Every other comment is no marker.
Marker ReadMarker(std::string_view commentText);

/// The text of the start comment for `settings` (without "<!--" and "-->"),
/// which ReadMarker reads back as the same settings.
std::string StartMarkerText(const BlockSettings& settings);

/// `block` with the settings the command line gives (kinds, mode, size,
/// alt) in place of its own; those not given stay as the block has them.
BlockSettings WithGivenSettings(BlockSettings block, const Options& options);

/// What is wrong with settings that each read well, or empty.
std::string SettingsProblem(const BlockSettings& settings);

inline constexpr std::string_view kEndMarkerText = " /tervane ";

}  // namespace tervane::cli
