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

// Browsers strip blanks from both ends of an address; blanks that belong to
// a name there are encoded so that they stay.
std::string KeepEdgeBlanks(std::string address) {
  std::size_t leading = 0;
  while (leading < address.size() && address[leading] == ' ') ++leading;
  std::size_t trailing = 0;
  while (trailing < address.size() - leading && address[address.size() - 1 - trailing] == ' ') {
    ++trailing;
  }
  if (leading == 0 && trailing == 0) return address;
  std::string kept;
  for (std::size_t i = 0; i < leading; ++i) kept += "%20";
  kept.append(address, leading, address.size() - leading - trailing);
  for (std::size_t i = 0; i < trailing; ++i) kept += "%20";
  return kept;
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

namespace {

void AppendPercentEncoded(std::string& out, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : bytes) {
    out += '%';
    out += kHex[static_cast<unsigned char>(c) >> 4];
    out += kHex[static_cast<unsigned char>(c) & 0xF];
  }
}

// The length of the UTF-8 sequence at the start of `text` when it encodes a
// C1 control (U+0080 to U+009F) or a noncharacter (U+FDD0 to U+FDEF, or the
// last two code points of a plane); 0 otherwise. HTML parsers read these as
// U+FFFD.
std::size_t ReplacedCharacterLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (text.size() >= 2 && byte(0) == 0xC2 && byte(1) <= 0x9F) return 2;
  if (text.size() >= 3 && byte(0) == 0xEF) {
    const unsigned codePoint = ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu) | 0xF000u;
    if ((codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || codePoint >= 0xFFFE) return 3;
  }
  if (text.size() >= 4 && byte(0) >= 0xF0 && byte(0) <= 0xF4 && (byte(1) & 0x0F) == 0x0F &&
      byte(2) == 0xBF && (byte(3) == 0xBE || byte(3) == 0xBF)) {
    return 4;
  }
  return 0;
}

}  // namespace

std::string EncodeNameForAddress(std::string_view name) {
  std::string encoded;
  encoded.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '%' || c == '#' || c == '?' || byte < 0x20 || byte == 0x7F) {
      // "%", "#" and "?" would start an escape, a fragment or a query;
      // browsers drop tabs and line breaks, and no control character can
      // stand in an address as it is.
      AppendPercentEncoded(encoded, name.substr(i, 1));
    } else if (const std::size_t length =
                   byte >= 0xC2 ? ReplacedCharacterLength(name.substr(i)) : 0) {
      AppendPercentEncoded(encoded, name.substr(i, length));
      i += length - 1;
    } else {
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
  return KeepEdgeBlanks(GuardAgainstScheme(AddTrailingSlash(address)));
}

std::string LinkAddress(std::string_view folderAddress, std::string_view fileName) {
  std::string address = std::string{folderAddress} + EncodeNameForAddress(fileName);
  if (folderAddress.starts_with("file:")) return KeepEdgeBlanks(std::move(address));
  return KeepEdgeBlanks(GuardAgainstScheme(std::move(address)));
}

}  // namespace tervane
