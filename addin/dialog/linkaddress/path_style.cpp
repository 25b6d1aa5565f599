#include "addin/dialog/linkaddress/path_style.h"

namespace tervane {

char Separator(PathStyle style) { return style == PathStyle::kWindows ? '\\' : '/'; }

std::string DriveSpecification(std::string_view text, PathStyle style) {
  if (text.empty()) return {};
  if (style == PathStyle::kPosix) return "/";
  if (text.starts_with("\\\\")) {
    // A share stands where a drive would: "\\server\share".
    std::size_t end = text.find('\\', 2);
    if (end != std::string_view::npos) end = text.find('\\', end + 1);
    return std::string{text.substr(0, end)};
  }
  return std::string{text.front()} + ':';
}

std::string JoinPath(std::string_view path, std::string_view name, PathStyle style) {
  std::string joined{path};
  if (joined.empty() || joined.back() != Separator(style)) joined += Separator(style);
  joined += name;
  return joined;
}

}  // namespace tervane
