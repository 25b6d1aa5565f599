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
