#include "addin/dialog/linkaddress/folder_address.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tervane {
namespace {

// The components of a folder path after one trailing separator is dropped;
// every separator divides two components, so doubled separators and a
// leading "\\" give empty ones. An empty path has none. On POSIX the root
// "/" is one empty component, the one that every absolute path starts with.
std::vector<std::string_view> SplitComponents(std::string_view path, PathStyle style) {
  std::vector<std::string_view> components;
  if (path.empty()) return components;
  const char separator = Separator(style);
  if (path.back() == separator) path.remove_suffix(1);
  if (path.empty() && style == PathStyle::kWindows) return components;
  while (true) {
    const std::size_t end = path.find(separator);
    components.push_back(path.substr(0, end));
    if (end == std::string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return components;
}

std::string AbsoluteFolderAddress(std::string_view materialFolder, PathStyle style) {
  std::string path{materialFolder};
  if (style == PathStyle::kWindows) std::replace(path.begin(), path.end(), '\\', '/');
  const std::string_view scheme = style == PathStyle::kWindows ? "file:///" : "file://";
  return AddTrailingSlash(std::string{scheme} + EncodeNameForAddress(path));
}

// A relative address whose first segment holds ":" would be read as a scheme.
std::string GuardAgainstScheme(std::string address) {
  const std::string_view firstSegment = std::string_view{address}.substr(0, address.find('/'));
  if (firstSegment.find(':') != std::string_view::npos) address.insert(0, "./");
  return address;
}

}  // namespace

std::string RemoveTrailingSeparator(std::string_view text, PathStyle style) {
  if (!text.empty() && text.back() == Separator(style)) text.remove_suffix(1);
  return std::string{text};
}

std::string AddTrailingSlash(std::string_view text) {
  std::string result{text};
  if (result.empty() || result.back() != '/') result += '/';
  return result;
}

std::string EncodeNameForAddress(std::string_view name) {
  std::string encoded;
  encoded.reserve(name.size());
  for (const char c : name) {
    switch (c) {
      case '%':
        encoded += "%25";
        break;
      case '#':
        encoded += "%23";
        break;
      case '?':
        encoded += "%3F";
        break;
      default:
        encoded += c;
    }
  }
  return encoded;
}

std::string FolderAddress(std::string_view materialFolder, std::string_view baseLocation,
                          PathStyle style) {
  const std::vector<std::string_view> material = SplitComponents(materialFolder, style);
  const std::vector<std::string_view> base = SplitComponents(baseLocation, style);
  std::size_t common = 0;
  while (common < material.size() && common < base.size() && material[common] == base[common]) {
    ++common;
  }
  if (common == 0) return AbsoluteFolderAddress(materialFolder, style);

  // Empty components (doubled separators) add nothing but may drop a "/";
  // the steps below keep exactly that behaviour.
  std::string address;
  if (common == base.size()) {
    for (std::size_t i = common; i < material.size(); ++i) {
      if (!address.empty()) address += '/';
      address += EncodeNameForAddress(material[i]);
    }
  } else {
    for (std::size_t i = common; i < base.size(); ++i) address += "../";
    for (std::size_t i = common; i < material.size(); ++i) {
      address = AddTrailingSlash(address);
      address += EncodeNameForAddress(material[i]);
    }
  }
  if (address.empty()) return address;
  return GuardAgainstScheme(AddTrailingSlash(address));
}

std::string LinkAddress(std::string_view folderAddress, std::string_view fileName) {
  std::string address = std::string{folderAddress} + EncodeNameForAddress(fileName);
  if (folderAddress.starts_with("file:")) return address;
  return GuardAgainstScheme(std::move(address));
}

}  // namespace tervane
