// What a page from others may make `tervane sync` read. Sites are kept in
// repositories that take contributions, so a page's blocks are input from
// whoever wrote the page: a block's folder must lie inside the site, and a
// file in it that a symbolic link leads out of the site is not read. The
// command line is the user's own: a folder given with --folder may lie
// anywhere, as may what it holds.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "addin/platform/file_system.h"
#include "cli/options.h"

namespace tervane::cli {

class Site {
 public:
  /// The site of a run on `options.page`: --site when given; otherwise the
  /// current folder when the page lies inside it, else the page's folder.
  /// Both the site and --folder are resolved through symbolic links.
  static Site Of(const Options& options);

  /// The site's folder, resolved, as UTF-8.
  std::string Folder() const;
  /// Whether `path` (UTF-8, absolute), resolved through symbolic links as
  /// far as it exists, lies inside the site or inside the user's --folder.
  bool Holds(std::string_view path) const;

 private:
  std::filesystem::path root_;
  std::optional<std::filesystem::path> userFolder_;
};

/// The system's files as a run on a page from others reads them: a file
/// outside `site` (through a symbolic link, say) reads as missing, so that
/// a shortcut there gets its placeholder. Without a site, `files` as they
/// are.
class SiteFiles : public FileSystem {
 public:
  SiteFiles(FileSystem& files, const Site* site) : files_(files), site_(site) {}
  bool FolderExists(std::string_view path) override { return files_.FolderExists(path); }
  std::vector<std::string> ListFiles(std::string_view folder) override {
    return files_.ListFiles(folder);
  }
  std::optional<std::string> ReadSmallFile(std::string_view path, std::size_t maxBytes) override;
  std::optional<std::string> DecodeAnsi(std::string_view bytes) override {
    return files_.DecodeAnsi(bytes);
  }

 private:
  FileSystem& files_;
  const Site* site_;
};

}  // namespace tervane::cli
