#include "addin/dialog/linkaddress/path_style.h"

namespace tervane {

char Separator(PathStyle style) { return style == PathStyle::kWindows ? '\\' : '/'; }

std::string DriveSpecification(std::string_view text, PathStyle style) {
  if (text.empty()) return {};
  if (style == PathStyle::kPosix) return "/";
  return std::string{text.front()} + ':';
}

std::string JoinPath(std::string_view path, std::string_view name, PathStyle style) {
  std::string joined{path};
  if (joined.empty() || joined.back() != Separator(style)) joined += Separator(style);
  joined += name;
  return joined;
}

}  // namespace tervane
