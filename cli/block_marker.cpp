#include "cli/block_marker.h"

#include <algorithm>
#include <set>

#include "cli/options.h"

namespace tervane::cli {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Undoes the four references a value may hold; any other "&" stays.
std::string Unescaped(std::string_view value) {
  static constexpr std::pair<std::string_view, char> kReferences[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string text;
  while (!value.empty()) {
    bool replaced = false;
    for (const auto& [reference, c] : kReferences) {
      if (value.starts_with(reference)) {
        text += c;
        value.remove_prefix(reference.size());
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      text += value.front();
      value.remove_prefix(1);
    }
  }
  return text;
}

std::string_view ModeName(DisplayMode mode) {
  switch (mode) {
    case DisplayMode::kImageLink:
      return "image-link";
    case DisplayMode::kImageOnly:
      return "image";
    case DisplayMode::kTextLink:
      break;
  }
  return "text";
}

Marker Problem(std::string problem) {
  return {Marker::Kind::kStart, std::nullopt, std::move(problem)};
}

}  // namespace

Marker ReadMarker(std::string_view commentText) {
  const std::string_view text = Trimmed(commentText);
  if (text == "/tervane") return {Marker::Kind::kEnd, std::nullopt, {}};
  if (!text.starts_with("tervane") || (text.size() > 7 && !IsBlank(text[7]))) return {};

  BlockSettings settings;
  std::set<std::string, std::less<>> seen;
  std::string_view rest = text.substr(7);
  for (;;) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) break;
    std::size_t nameEnd = 0;
    while (nameEnd < rest.size() && !IsBlank(rest[nameEnd]) && rest[nameEnd] != '=') ++nameEnd;
    const std::string name(rest.substr(0, nameEnd));
    rest.remove_prefix(nameEnd);
    if (!seen.insert(name).second) return Problem("'" + name + "' is given twice");
    static constexpr std::pair<std::string_view, bool BlockSettings::*> kFlags[] = {
        {"size", &BlockSettings::size},
        {"alt", &BlockSettings::alt},
        {"reverse", &BlockSettings::reverse},
        {"lazy", &BlockSettings::lazy}};
    const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                   [&](const auto& f) { return f.first == name; });
    if (flag != std::end(kFlags)) {
      if (!rest.empty() && rest.front() == '=') return Problem("'" + name + "' takes no value");
      settings.*(flag->second) = true;
      continue;
    }
    if (name != "folder" && name != "kinds" && name != "mode" && name != "sort" &&
        name != "class") {
      return Problem("unknown setting '" + name + "'");
    }
    if (!rest.starts_with("=\"")) return Problem("'" + name + "' needs a value in double quotes");
    const std::size_t close = rest.find('"', 2);
    if (close == std::string_view::npos)
      return Problem("the value of '" + name + "' is not closed");
    const std::string value = Unescaped(rest.substr(2, close - 2));
    rest.remove_prefix(close + 1);
    if (!rest.empty() && !IsBlank(rest.front())) return Problem("no blank after '" + name + "'");
    if (name == "folder") {
      if (value.empty()) return Problem("the folder is empty");
      settings.folder = value;
    } else if (name == "sort") {
      const std::optional<PictureOrder> order = PictureOrderFromName(value);
      if (!order) return Problem("invalid sort '" + value + "'");
      settings.sort = *order;
    } else if (name == "class") {
      if (value.empty()) return Problem("the class is empty");
      settings.className = value;
    } else if (name == "kinds") {
      const std::optional<std::array<bool, 4>> kinds = ParseKinds(value);
      if (!kinds) return Problem("invalid kinds '" + value + "'");
      settings.kinds = *kinds;
    } else if (value == "text" || value == "image-link" || value == "image") {
      settings.mode = value == "text"         ? DisplayMode::kTextLink
                      : value == "image-link" ? DisplayMode::kImageLink
                                              : DisplayMode::kImageOnly;
    } else {
      return Problem("invalid mode '" + value + "'");
    }
  }
  if (settings.folder.empty()) return Problem("no folder=\"...\"");
  if ((settings.size || settings.alt) && settings.mode == DisplayMode::kTextLink) {
    return Problem("size and alt need mode=\"image-link\" or mode=\"image\"");
  }
  if (settings.lazy && settings.mode == DisplayMode::kTextLink) {
    return Problem("lazy needs mode=\"image-link\" or mode=\"image\"");
  }
  return {Marker::Kind::kStart, settings, {}};
}

std::string StartMarkerText(const BlockSettings& settings) {
  std::string text = " tervane folder=\"" + EscapeHtml(settings.folder) + "\" kinds=\"" +
                     KindsText(settings.kinds) + "\" mode=\"" +
                     std::string(ModeName(settings.mode)) + "\"";
  if (settings.size) text += " size";
  if (settings.alt) text += " alt";
  if (settings.sort != PictureOrder::kName) {
    text += " sort=\"" + std::string(PictureOrderName(settings.sort)) + "\"";
  }
  if (settings.reverse) text += " reverse";
  if (settings.lazy) text += " lazy";
  if (settings.className) text += " class=\"" + EscapeHtml(*settings.className) + "\"";
  return text + " ";
}

}  // namespace tervane::cli
