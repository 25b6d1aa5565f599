#include "cli/block_marker.h"

#include <set>

#include "addin/dialog/linkaddress/utf8.h"
#include "cli/options.h"

namespace tervane::cli {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Undoes the four references a value may hold, and decimal references;
// any other "&" stays.
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
    // A character that the page's encoding cannot hold is written as a
    // decimal reference.
    if (const std::size_t end = value.find(';'); !replaced && value.starts_with("&#") &&
                                                 end != std::string_view::npos && end > 2 &&
                                                 end < 10) {
      char32_t c = 0;
      for (const char digit : value.substr(2, end - 2)) {
        c = digit >= '0' && digit <= '9' ? c * 10 + static_cast<char32_t>(digit - '0') : 0x110000;
      }
      if (c > 0 && c < 0x110000 && (c < 0xD800 || c > 0xDFFF)) {
        AppendUtf8(c, text);
        value.remove_prefix(end + 1);
        replaced = true;
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
    if (name == "size" || name == "alt") {
      if (!rest.empty() && rest.front() == '=') return Problem("'" + name + "' takes no value");
      (name == "size" ? settings.size : settings.alt) = true;
      continue;
    }
    if (name != "folder" && name != "kinds" && name != "mode") {
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
  return {Marker::Kind::kStart, settings, {}};
}

std::string StartMarkerText(const BlockSettings& settings) {
  std::string text = " tervane folder=\"" + EscapeHtml(settings.folder) + "\" kinds=\"" +
                     KindsText(settings.kinds) + "\" mode=\"" +
                     std::string(ModeName(settings.mode)) + "\"";
  if (settings.size) text += " size";
  if (settings.alt) text += " alt";
  return text + " ";
}

}  // namespace tervane::cli
