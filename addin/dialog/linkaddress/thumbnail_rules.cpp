#include "addin/dialog/linkaddress/thumbnail_rules.h"

#include <algorithm>

#include "addin/dialog/linkaddress/folder_address.h"

namespace tervane {
namespace {

// `edge` and the short edge in proportion, rounded to the nearest pixel.
PictureSize Scaled(PictureSize shown, std::uint32_t edge) {
  const bool wide = shown.width >= shown.height;
  const std::uint64_t longer = wide ? shown.width : shown.height;
  const std::uint64_t shorter = wide ? shown.height : shown.width;
  const auto scaled = static_cast<std::uint32_t>(
      std::max<std::uint64_t>(1, (shorter * edge * 2 + longer) / (longer * 2)));
  return wide ? PictureSize{edge, scaled} : PictureSize{scaled, edge};
}

std::string Escaped(std::string_view name) {
  std::string text;
  for (const char c : name) {
    switch (c) {
      case '%':
        text += "%25";
        break;
      case '\t':
        text += "%09";
        break;
      case '\r':
        text += "%0D";
        break;
      case '\n':
        text += "%0A";
        break;
      default:
        text += c;
    }
  }
  return text;
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string name;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      name += text[i];
      continue;
    }
    const std::string_view code = text.substr(i + 1, 2);
    if (code == "25") {
      name += '%';
    } else if (code == "09") {
      name += '\t';
    } else if (code == "0D") {
      name += '\r';
    } else if (code == "0A") {
      name += '\n';
    } else {
      return std::nullopt;
    }
    i += 2;
  }
  return name;
}

}  // namespace

PictureFormat ThumbnailFormat(PictureFormat original) {
  return original == PictureFormat::kJpeg ? PictureFormat::kJpeg : PictureFormat::kPng;
}

std::optional<ThumbnailPlan> PlanThumbnails(PictureSize shown, std::uint32_t edge) {
  if (edge == 0 || std::max(shown.width, shown.height) <= edge) return std::nullopt;
  ThumbnailPlan plan{Scaled(shown, edge), std::nullopt};
  if (std::max(shown.width, shown.height) / 2 >= edge) plan.size2x = Scaled(shown, edge * 2);
  return plan;
}

std::string ThumbnailName(std::string_view original, PictureSize size, PictureFormat format) {
  return std::string(original) + "." + std::to_string(size.width) + "x" +
         std::to_string(size.height) + (format == PictureFormat::kJpeg ? ".jpg" : ".png");
}

bool ThumbnailIsStale(std::optional<std::int64_t> thumbnailTime, std::int64_t originalTime) {
  return !thumbnailTime || *thumbnailTime < originalTime;
}

std::string ManifestText(const std::vector<ManifestEntry>& entries) {
  std::string text;
  for (const ManifestEntry& entry : entries) {
    text += Escaped(entry.original) + '\t' + Escaped(entry.thumbnail) + '\n';
  }
  return text;
}

std::vector<ManifestEntry> ReadManifest(std::string_view text) {
  std::vector<ManifestEntry> entries;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    std::optional<std::string> original = Unescaped(line.substr(0, tab));
    std::optional<std::string> thumbnail = Unescaped(line.substr(tab + 1));
    // A manifest lies in a folder that others may fill: anything else it
    // lists is no file of ours, and is never deleted.
    if (!original || !thumbnail || !IsThumbnailOf(*thumbnail, *original)) continue;
    entries.push_back({std::move(*original), std::move(*thumbnail)});
  }
  return entries;
}

std::vector<ManifestEntry> WithEntries(std::vector<ManifestEntry> entries,
                                       const std::vector<ManifestEntry>& made) {
  entries.insert(entries.end(), made.begin(), made.end());
  const auto byThumbnail = [](const ManifestEntry& a, const ManifestEntry& b) {
    return a.thumbnail < b.thumbnail;
  };
  std::stable_sort(entries.begin(), entries.end(), byThumbnail);
  // The latest entry of a thumbnail wins.
  std::vector<ManifestEntry> unique;
  for (ManifestEntry& entry : entries) {
    if (!unique.empty() && unique.back().thumbnail == entry.thumbnail) {
      unique.back() = std::move(entry);
    } else {
      unique.push_back(std::move(entry));
    }
  }
  return unique;
}

std::string ThumbnailAddress(std::string_view originalAddress, std::string_view folder,
                             std::string_view thumbnailName) {
  // Names hold no "/", and LinkAddress encodes none: the original's address
  // ends in its name after the last one.
  const std::size_t slash = originalAddress.rfind('/');
  std::string folderAddress(
      originalAddress.substr(0, slash == std::string_view::npos ? 0 : slash + 1));
  for (;;) {
    const std::size_t end = folder.find('/');
    folderAddress += EncodeNameForAddress(folder.substr(0, end)) + "/";
    if (end == std::string_view::npos) break;
    folder.remove_prefix(end + 1);
  }
  return LinkAddress(folderAddress, thumbnailName);
}

bool IsThumbnailOf(std::string_view thumbnail, std::string_view original) {
  if (original.empty() || original == "." || original == ".." ||
      original.find_first_of("/\\:") != std::string_view::npos ||
      !thumbnail.starts_with(original) || thumbnail.size() <= original.size() + 1 ||
      thumbnail[original.size()] != '.') {
    return false;
  }
  std::string_view rest = thumbnail.substr(original.size() + 1);
  if (!rest.ends_with(".jpg") && !rest.ends_with(".png")) return false;
  rest.remove_suffix(4);
  const std::size_t x = rest.find('x');
  const auto digits = [](std::string_view text) {
    return !text.empty() && text.size() <= 5 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  return x != std::string_view::npos && digits(rest.substr(0, x)) && digits(rest.substr(x + 1));
}

std::optional<std::string_view> OriginalOfThumbnail(std::string_view thumbnail) {
  // "<original>.<width>x<height>.<ext>": the original ends before the
  // second dot from the end.
  const std::size_t ext = thumbnail.rfind('.');
  if (ext == std::string_view::npos || ext == 0) return std::nullopt;
  const std::size_t size = thumbnail.rfind('.', ext - 1);
  if (size == std::string_view::npos) return std::nullopt;
  const std::string_view original = thumbnail.substr(0, size);
  if (!IsThumbnailOf(thumbnail, original)) return std::nullopt;
  return original;
}

bool IsThumbnailFolder(std::string_view folder) {
  if (folder.empty() || folder.find_first_of("\\:") != std::string_view::npos) return false;
  while (true) {
    const std::size_t slash = folder.find('/');
    const std::string_view name = folder.substr(0, slash);
    if (name.empty() || name == "." || name == "..") return false;
    if (slash == std::string_view::npos) return true;
    folder.remove_prefix(slash + 1);
  }
}

}  // namespace tervane
