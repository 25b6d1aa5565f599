#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <system_error>

#include "cli/paths.h"
#include "cli/process.h"
#include "tervane/version.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kUsageError = 2;

ParseOutcome UsageError(const std::string& message) {
  return {std::nullopt, kUsageError, "tervane: " + message};
}

}  // namespace

constexpr std::array<const char*, 4> kKindNames = {"shortcut", "jpeg", "gif-png", "html-text"};

std::string KindsText(const std::array<bool, 4>& kinds) {
  std::string text;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (!kinds[i]) continue;
    if (!text.empty()) text += ',';
    text += kKindNames[i];
  }
  return text.empty() ? "any" : text;
}

std::optional<std::array<bool, 4>> ParseKinds(const std::string& list) {
  std::array<bool, 4> kinds{};
  bool any = false;
  bool someKind = false;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    const std::string item =
        list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (item == "any") {
      any = true;
    } else {
      bool known = false;
      for (std::size_t i = 0; i < kKindNames.size(); ++i) {
        if (item == kKindNames[i]) {
          kinds[i] = true;
          known = true;
        }
      }
      if (!known) return std::nullopt;
      someKind = true;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (any && someKind) return std::nullopt;
  return kinds;
}

ParseOutcome ParseCommandLine(int argc, const char* const* argv) {
  CLI::App app{"tervane: writes links to the files of a folder into an HTML page", "tervane"};
  app.require_subcommand(1);
  const std::string version = std::string("tervane ") + TERVANE_VERSION;
  app.set_version_flag("--version", version, "print the version and exit");

  std::string page;
  std::vector<std::string> names;
  std::string folder;
  std::string base;
  std::string kinds;
  std::string mode = "text";
  bool missing = false;
  bool dryRun = false;
  bool size = false;
  bool alt = false;
  bool check = false;
  bool force = false;
  std::string thumbs;
  std::uint32_t thumbSize = kDefaultThumbnailEdge;
  std::string sort = "name";
  bool reverse = false;
  bool lazy = false;
  std::string className;

  CLI::App* list = app.add_subcommand("list", "print the names the file list shows");
  CLI::App* link = app.add_subcommand("link", "write links to the listed files into PAGE");
  CLI::App* checkCommand =
      app.add_subcommand("check", "print the listed files PAGE already links to");
  CLI::App* sync =
      app.add_subcommand("sync", "keep the blocks of links in PAGE in step with their folders");
  sync->footer(
      "A block of PAGE lies between two comments, and lists its folder one file a line.\n"
      "Write the two comments where the list should stand; sync fills in the rest:\n"
      "  <!-- tervane folder=\"img\" kinds=\"jpeg,gif-png\" mode=\"image\" size alt -->\n"
      "  <img src=\"img/a.png\" width=\"640\" height=\"480\" alt=\"a\"><br>\n"
      "  <!-- /tervane -->\n"
      "folder is relative to PAGE's folder; kinds, mode, size, alt, thumbs (or thumbs=\"DIR\"),\n"
      "thumb-size, sort, reverse, lazy and class are optional, as the options of those names.\n"
      "A photo gallery, where the list should stand:\n"
      "  <!-- tervane folder=\"photos\" kinds=\"jpeg\" mode=\"image-link\" alt thumbs\n"
      "       sort=\"natural\" lazy -->\n"
      "  <!-- /tervane -->\n"
      "sync adds the items of new files and removes those of files that are gone. An item\n"
      "edited by hand is kept as it stands, and so is text of your own between items while\n"
      "its place is clear (else exit 3; --force writes the block anew). Everything outside\n"
      "the blocks stays byte for byte; nothing is written when no block changed. --folder DIR\n"
      "adds a block for DIR at the body's end when PAGE has none; the settings given replace\n"
      "the block's, the others stay.\n"
      "A block's folder must lie inside the site: --site DIR, else the current folder when\n"
      "PAGE lies in it, else PAGE's folder.\n"
      "Exit status: 0 in step (or written), 1 out of step (--check), 2 usage error,\n"
      "3 PAGE or a block cannot be read or written (the line is named); then PAGE is as it "
      "was.");

  const auto addFolderAndKinds = [&](CLI::App* command) {
    command->add_option("--folder", folder, "the material folder");
    command->add_option("--kinds", kinds,
                        "comma-separated: shortcut, jpeg, gif-png, html-text, or any");
  };
  addFolderAndKinds(list);
  for (CLI::App* command : {link, checkCommand, sync}) {
    command->add_option("PAGE", page, "the HTML page")->required();
    addFolderAndKinds(command);
  }
  for (CLI::App* command : {link, checkCommand}) {
    command->add_option("--base", base, "the page base location ('' for none)");
  }
  link->add_option("NAME", names, "listed names to link (default: all)");
  for (CLI::App* command : {link, sync}) {
    command->add_option("--mode", mode, "text, image-link or image")
        ->check(CLI::IsMember({"text", "image-link", "image"}));
    command->add_flag("--size", size,
                      "image modes: give pictures the width and height their files hold");
    command->add_flag("--alt", alt,
                      "image modes: give pictures their own title (else their file name) as alt "
                      "text");
    command->add_option("--sort", sort, "the items' order: name, natural, taken or modified")
        ->check(CLI::IsMember({"name", "natural", "taken", "modified"}));
    command->add_flag("--reverse", reverse, "the items in the reverse order");
    command->add_flag("--lazy", lazy, "image modes: pictures load as they come near the view");
    command->add_option("--class", className, "a class on each item's outer element");
    command->add_flag("--thumbs{" + std::string(kDefaultThumbnailFolder) + "}", thumbs,
                      "image modes: show pictures by thumbnails made in DIR inside the "
                      "folder (--thumbs=DIR; default thumbs)");
    command
        ->add_option("--thumb-size", thumbSize,
                     "the thumbnails' long edge in CSS pixels (default 320; twice that for "
                     "high-density screens where the picture is large enough)")
        ->check(CLI::Range(kSmallestThumbnailEdge, kLargestThumbnailEdge));
  }
  link->add_flag("--missing", missing, "link only the files the page does not link to yet");
  link->add_flag("--dry-run", dryRun, "print the markup and leave the page as it is");
  sync->add_flag("--dry-run", dryRun,
                 "print what would change as a unified diff and leave the page as it is");
  sync->add_flag("--check", check,
                 "change nothing; exit 1 when the page is out of step with its folders");
  sync->add_flag("--force", force,
                 "write every block anew: items edited by hand and text of your own go");
  std::string site;
  sync->add_option("--site", site,
                   "the folder a block's folder must lie in (default: the current folder when "
                   "PAGE lies in it, else PAGE's folder)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    return {std::nullopt, 0, app.help()};
  } catch (const CLI::CallForVersion&) {
    return {std::nullopt, 0, version};
  } catch (const CLI::CallForAllHelp&) {
    return {std::nullopt, 0, app.help("", CLI::AppFormatMode::All)};
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what());
  }

  Options options;
  CLI::App* chosen = app.get_subcommands().front();
  options.command = chosen == list   ? Command::kList
                    : chosen == link ? Command::kLink
                    : chosen == sync ? Command::kSync
                                     : Command::kCheck;

  if (chosen->count("--kinds") > 0) {
    const std::optional<std::array<bool, 4>> parsed = ParseKinds(kinds);
    if (!parsed) return UsageError("invalid --kinds list: '" + kinds + "'");
    options.kinds = *parsed;
  }
  if (mode == "image-link") options.mode = DisplayMode::kImageLink;
  if (mode == "image") options.mode = DisplayMode::kImageOnly;
  if (missing && !names.empty()) return UsageError("--missing cannot be combined with names");
  for (const CLI::Option* given : chosen->get_options()) {
    if (given->count() > 0) options.given.insert(given->get_name());
  }
  // list and check have no options of pictures to count.
  const auto given = [&options](const char* name) { return options.given.contains(name); };
  const bool thumbsGiven = given("--thumbs");
  // sync checks a block's settings once the block's own are merged in.
  const bool modeFromBlock = chosen == sync && chosen->count("--mode") == 0;
  if ((size || alt || thumbsGiven || lazy) && options.mode == DisplayMode::kTextLink &&
      !modeFromBlock) {
    return UsageError("--size, --alt, --thumbs and --lazy need --mode image-link or image");
  }
  // A block's own thumbs may take sync's --thumb-size.
  if (chosen != sync && given("--thumb-size") && !thumbsGiven) {
    return UsageError("--thumb-size needs --thumbs");
  }
  if (thumbsGiven) {
    if (!IsThumbnailFolder(thumbs)) {
      return UsageError(
          "--thumbs=DIR needs a folder inside the material folder, names "
          "separated by '/': '" +
          thumbs + "'");
    }
    options.thumbs = ThumbnailSettings{thumbs, thumbSize};
  }
  options.thumbSize = thumbSize;
  if (given("--class") && className.empty()) return UsageError("--class needs a name");
  if (chosen == sync && chosen->count("--folder") == 0) {
    for (const char* name : {"--kinds", "--mode", "--size", "--alt", "--thumbs", "--thumb-size",
                             "--sort", "--reverse", "--lazy", "--class"}) {
      if (given(name)) {
        return UsageError(
            "--kinds, --mode, --size, --alt, --thumbs, --thumb-size, --sort, --reverse, --lazy "
            "and --class are a block's settings: they need --folder");
      }
    }
  }
  if (dryRun && check) return UsageError("--dry-run cannot be combined with --check");
  options.missing = missing;
  options.dryRun = dryRun;
  options.size = size;
  options.alt = alt;
  options.check = check;
  options.force = force;
  options.sort = *PictureOrderFromName(sort);
  options.reverse = reverse;
  options.lazy = lazy;
  if (!className.empty()) options.className = className;
  options.names = std::move(names);

  if (chosen->count("--folder") > 0) {
    if (folder.empty()) return UsageError("--folder needs a folder");
    options.folder = AbsolutePath(folder);
    if (!IsFolder(*options.folder)) {
      return UsageError("folder not found: " + folder +
                        (FromUtf8(folder).is_absolute()
                             ? ""
                             : " (tried " + *options.folder + ", from the current folder)"));
    }
  }
  if (chosen == sync && chosen->count("--site") > 0) {
    options.site = AbsolutePath(site);
    std::error_code ec;
    if (!fs::is_directory(FromUtf8(*options.site), ec))
      return UsageError("site not found: " + site);
  }
  if (options.command != Command::kList) {
    options.page = AbsolutePath(page);
    if (chosen != sync && chosen->count("--base") > 0)
      options.base = base.empty() ? base : AbsolutePath(base);
  }
  return {std::move(options), 0, {}};
}

}  // namespace tervane::cli
