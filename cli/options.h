// The command line of `tervane`:
//   tervane list  [--folder DIR] [--kinds LIST]
//   tervane link  PAGE [NAME...] [--folder DIR] [--base DIR] [--kinds LIST]
//                 [--mode text|image-link|image] [--size] [--alt] [--missing]
//                 [--thumbs[=DIR]] [--thumb-size N]
//                 [--sort name|natural|taken|modified] [--reverse] [--lazy]
//                 [--class NAME] [--dry-run]
//   tervane check PAGE [--folder DIR] [--base DIR] [--kinds LIST]
//   tervane sync  PAGE [--folder DIR [--kinds LIST] [--mode ...] [--size] [--alt]
//                 [--thumbs[=DIR]] [--thumb-size N] [--sort ...] [--reverse] [--lazy]
//                 [--class NAME]] [--force] [--dry-run | --check] [--site DIR]
#pragma once

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "addin/dialog/linkaddress/markup.h"
#include "addin/dialog/linkaddress/picture_order.h"
#include "cli/thumbnails.h"

namespace tervane::cli {

enum class Command { kList, kLink, kCheck, kSync };

struct Options {
  Command command = Command::kList;
  std::string page;  // absolute
  std::vector<std::string> names;
  std::optional<std::string> folder;  // absolute
  std::optional<std::string> base;    // absolute, or empty
  std::array<bool, 4> kinds = {false, true, true, false};
  DisplayMode mode = DisplayMode::kTextLink;
  bool missing = false;
  bool dryRun = false;
  bool size = false;   // width and height of pictures
  bool alt = false;    // alt text of pictures
  bool check = false;  // sync: only say whether the page is in step
  bool force = false;  // sync: regenerate blocks whole, hand edits and all
  /// The options given on the command line, by name ("--kinds"), so that
  /// sync can tell a default from a setting given.
  std::set<std::string, std::less<>> given;
  std::optional<std::string> site;                  // sync: the folder blocks may reach; absolute
  std::optional<ThumbnailSettings> thumbs;          // pictures shown by thumbnails
  std::uint32_t thumbSize = kDefaultThumbnailEdge;  // --thumb-size, given or not
  PictureOrder sort = PictureOrder::kName;
  bool reverse = false;
  bool lazy = false;                     // pictures load when they come near the view
  std::optional<std::string> className;  // a class on each item
};

/// The kinds a --kinds list names, in its own form ("any" for none ticked).
std::string KindsText(const std::array<bool, 4>& kinds);

struct ParseOutcome {
  std::optional<Options> options;  // set when the command is to run
  int exitCode = 0;                // otherwise: 0 after --help, 2 after a usage error
  std::string output;              // help text, or the one-line usage error
};

/// Parses the arguments, makes the paths absolute (from the current folder)
/// and checks what can be checked before the page is read: the kinds, the
/// folder's existence, names together with --missing, picture options
/// with an image mode, sync's block settings with --folder.
ParseOutcome ParseCommandLine(int argc, const char* const* argv);

/// The Filter boxes that a --kinds list ticks; nullopt when the list is
/// malformed: an empty or unknown item, or "any" together with a kind.
std::optional<std::array<bool, 4>> ParseKinds(const std::string& list);

}  // namespace tervane::cli
