#include "cli/paths.h"

#include "cli/process.h"

namespace tervane::cli {

namespace fs = std::filesystem;

fs::path FromUtf8(std::string_view path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

#ifndef _WIN32
namespace {

std::string Normal(const fs::path& absolute) {
  const fs::path normal = absolute.lexically_normal();
  std::string result = ToUtf8(normal);
  const std::size_t root = ToUtf8(normal.root_path()).size();
  while (
      result.size() > root &&
      (result.back() == '/' || result.back() == static_cast<char>(fs::path::preferred_separator))) {
    result.pop_back();
  }
  return result;
}

}  // namespace

std::string AbsolutePath(std::string_view path, const fs::path& from) {
  return Normal(from / FromUtf8(path));
}
#else
// The standard library here reads "\\server\share" as a folder of the
// current drive and folds its leading separators: a path on a share needs
// the system's reading. A path that starts at a root ("\\server\share",
// "C:\", "\") is the system's to make absolute; any other is taken from
// `from`.
std::string AbsolutePath(std::string_view path, const fs::path& from) {
  const bool rooted = (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
                      (path.size() >= 2 && path[1] == ':');
  return AbsolutePath(rooted ? std::string(path) : ToUtf8(from) + "\\" + std::string(path));
}
#endif

// The system's own reading of a path (FullPath), not current_path() / path:
// on Windows "D:img" is taken from drive D's own current folder, and
// "\\server\share" stays a share, which the standard library would read
// as a folder of the current drive.
std::string AbsolutePath(std::string_view path) {
  std::string result = FullPath(std::string(path));
  const std::size_t root = ToUtf8(FromUtf8(result).root_path()).size();
  while (
      result.size() > root &&
      (result.back() == '/' || result.back() == static_cast<char>(fs::path::preferred_separator))) {
    result.pop_back();
  }
  return result;
}

}  // namespace tervane::cli
