// A site on the real file system for the link builder to browse: a page and
// its material folder in a fresh folder under the temporary folder.
#pragma once

#include <filesystem>
#include <string>

namespace tervane::testing {

/// Makes `path` (and its parents) and writes `contents` into it.
void WriteFile(const std::filesystem::path& path, const std::string& contents = "x");

/// Holds index.htm, top.jpg and img\ with a.jpg, B.png, c.gif, d.txt, the
/// Internet Shortcut link.url (to http://example.com/), the hidden
/// hidden.jpg and the empty folders sub\ and zz\, in a fresh folder under
/// the temporary folder unless given one. Removed at destruction,
/// after making C:\ the current folder.
class SiteFolder {
 public:
  SiteFolder();
  /// The site in `folder`, made where it is missing.
  explicit SiteFolder(const std::filesystem::path& folder);
  ~SiteFolder();
  SiteFolder(const SiteFolder&) = delete;
  SiteFolder& operator=(const SiteFolder&) = delete;

  /// index.htm's address as an editor reports it.
  std::string PageAddress() const;

  const std::filesystem::path site_;
  const std::string siteText_;  // site_ as the dialog shows it
};

}  // namespace tervane::testing
