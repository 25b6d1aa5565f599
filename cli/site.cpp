#include "cli/site.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(std::string_view path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

// `path` with every symbolic link of the part that exists resolved; the
// path as given when even that fails.
fs::path Resolved(const fs::path& path) {
#ifdef _WIN32
  // The standard library here takes "\\server\share" for a folder of the
  // current drive: a path on a share stays as the system made it absolute
  // and normal, its symbolic links unresolved.
  const std::wstring& text = path.native();
  if (text.size() >= 2 && (text[0] == L'\\' || text[0] == L'/') &&
      (text[1] == L'\\' || text[1] == L'/')) {
    return path;
  }
#endif
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(path, ec);
  return ec ? path.lexically_normal() : resolved;
}

bool Inside(const fs::path& root, const fs::path& path) {
  auto p = path.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++p) {
    // A root's trailing separator is an empty last element.
    if (r->empty() && std::next(r) == root.end()) break;
    if (p == path.end() || *r != *p) return false;
  }
  return true;
}

}  // namespace

Site Site::Of(const Options& options) {
  Site site;
  if (options.site) {
    site.root_ = Resolved(FromUtf8(*options.site));
  } else {
    std::error_code ec;
    const fs::path current = Resolved(fs::current_path(ec));
    const fs::path pageFolder = Resolved(FromUtf8(options.page).parent_path());
    site.root_ = !ec && Inside(current, pageFolder) ? current : pageFolder;
  }
  if (options.folder) site.userFolder_ = Resolved(FromUtf8(*options.folder));
  return site;
}

std::string Site::Folder() const {
  const std::u8string text = root_.u8string();
  return std::string(text.begin(), text.end());
}

bool Site::Holds(std::string_view path) const {
  const fs::path resolved = Resolved(FromUtf8(path));
  return Inside(root_, resolved) || (userFolder_ && Inside(*userFolder_, resolved));
}

std::optional<std::string> SiteFiles::ReadSmallFile(std::string_view path, std::size_t maxBytes) {
  if (site_ && !site_->Holds(path)) return std::nullopt;
  return files_.ReadSmallFile(path, maxBytes);
}

}  // namespace tervane::cli
