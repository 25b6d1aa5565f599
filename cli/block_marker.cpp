#include "cli/block_marker.h"

#include <algorithm>
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

// How a setting stands in the start comment: name="value", a bare name,
// or either (`thumbs` alone is the default folder).
enum class Form { kValue, kFlag, kFlagOrValue };

// One row a setting: its name in the start comment, the option that gives
// it on the command line, and how it is read, written and taken from the
// options. A flag (no value) is read with an empty value and written bare
// when `write` gives an empty value.
struct SettingRow {
  std::string_view name;
  std::string_view option;
  Form form;
  // The problem with `value`, or empty.
  std::string (*read)(BlockSettings& settings, const std::string& value);
  // The value written, or nullopt to leave the setting out.
  std::optional<std::string> (*write)(const BlockSettings& settings);
  void (*take)(BlockSettings& settings, const Options& options);
};

constexpr SettingRow kSettings[] = {
    {"folder", "--folder", Form::kValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       s.folder = value;
       return value.empty() ? "the folder is empty" : "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> { return s.folder; },
     [](BlockSettings&, const Options&) {}},
    {"kinds", "--kinds", Form::kValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       const std::optional<std::array<bool, 4>> kinds = ParseKinds(value);
       if (!kinds) return "invalid kinds '" + value + "'";
       s.kinds = *kinds;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> { return KindsText(s.kinds); },
     [](BlockSettings& s, const Options& o) { s.kinds = o.kinds; }},
    {"mode", "--mode", Form::kValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       for (const DisplayMode mode :
            {DisplayMode::kTextLink, DisplayMode::kImageLink, DisplayMode::kImageOnly}) {
         if (value == ModeName(mode)) {
           s.mode = mode;
           return "";
         }
       }
       return "invalid mode '" + value + "'";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       return std::string(ModeName(s.mode));
     },
     [](BlockSettings& s, const Options& o) { s.mode = o.mode; }},
    {"size", "--size", Form::kFlag,
     [](BlockSettings& s, const std::string&) -> std::string {
       s.size = true;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       return s.size ? std::optional<std::string>("") : std::nullopt;
     },
     [](BlockSettings& s, const Options& o) { s.size = o.size; }},
    {"alt", "--alt", Form::kFlag,
     [](BlockSettings& s, const std::string&) -> std::string {
       s.alt = true;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       return s.alt ? std::optional<std::string>("") : std::nullopt;
     },
     [](BlockSettings& s, const Options& o) { s.alt = o.alt; }},
    // A thumb-size read before thumbs leaves thumbs with no folder, which
    // SettingsProblem names.
    {"thumbs", "--thumbs", Form::kFlagOrValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       const std::string folder = value.empty() ? std::string(kDefaultThumbnailFolder) : value;
       if (!IsThumbnailFolder(folder)) {
         return "thumbs=\"" + value + "\" is no folder inside the block's folder";
       }
       s.thumbs = ThumbnailSettings{folder, s.thumbs ? s.thumbs->edge : kDefaultThumbnailEdge};
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       if (!s.thumbs) return std::nullopt;
       return s.thumbs->folder == kDefaultThumbnailFolder ? std::string() : s.thumbs->folder;
     },
     [](BlockSettings& s, const Options& o) {
       if (o.thumbs) {
         s.thumbs = ThumbnailSettings{o.thumbs->folder, s.thumbs ? s.thumbs->edge : o.thumbs->edge};
       }
     }},
    {"thumb-size", "--thumb-size", Form::kValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       std::uint32_t edge = 0;
       for (const char c : value) {
         if (c < '0' || c > '9' || edge > 4096) return "invalid thumb-size '" + value + "'";
         edge = edge * 10 + static_cast<std::uint32_t>(c - '0');
       }
       if (value.empty() || edge < kSmallestThumbnailEdge || edge > kLargestThumbnailEdge) {
         return "thumb-size must be " + std::to_string(kSmallestThumbnailEdge) + " to " +
                std::to_string(kLargestThumbnailEdge) + ", not '" + value + "'";
       }
       if (!s.thumbs) s.thumbs = ThumbnailSettings{"", edge};
       s.thumbs->edge = edge;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       if (!s.thumbs || s.thumbs->edge == kDefaultThumbnailEdge) return std::nullopt;
       return std::to_string(s.thumbs->edge);
     },
     [](BlockSettings& s, const Options& o) {
       if (!s.thumbs) s.thumbs = ThumbnailSettings{"", o.thumbSize};
       s.thumbs->edge = o.thumbSize;
     }},
    {"sort", "--sort", Form::kValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       const std::optional<PictureOrder> order = PictureOrderFromName(value);
       if (!order) return "invalid sort '" + value + "'";
       s.sort = *order;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       if (s.sort == PictureOrder::kName) return std::nullopt;
       return std::string(PictureOrderName(s.sort));
     },
     [](BlockSettings& s, const Options& o) { s.sort = o.sort; }},
    {"reverse", "--reverse", Form::kFlag,
     [](BlockSettings& s, const std::string&) -> std::string {
       s.reverse = true;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       return s.reverse ? std::optional<std::string>("") : std::nullopt;
     },
     [](BlockSettings& s, const Options& o) { s.reverse = o.reverse; }},
    {"lazy", "--lazy", Form::kFlag,
     [](BlockSettings& s, const std::string&) -> std::string {
       s.lazy = true;
       return "";
     },
     [](const BlockSettings& s) -> std::optional<std::string> {
       return s.lazy ? std::optional<std::string>("") : std::nullopt;
     },
     [](BlockSettings& s, const Options& o) { s.lazy = o.lazy; }},
    {"class", "--class", Form::kValue,
     [](BlockSettings& s, const std::string& value) -> std::string {
       s.className = value;
       return value.empty() ? "the class is empty" : "";
     },
     [](const BlockSettings& s) { return s.className; },
     [](BlockSettings& s, const Options& o) { s.className = o.className; }},
};

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
    const SettingRow* row = nullptr;
    for (const SettingRow& candidate : kSettings) {
      if (candidate.name == name) row = &candidate;
    }
    if (row == nullptr) return Problem("unknown setting '" + name + "'");
    std::string value;
    if (row->form == Form::kFlag && !rest.empty() && rest.front() == '=') {
      return Problem("'" + name + "' takes no value");
    }
    if (row->form == Form::kValue ||
        (row->form == Form::kFlagOrValue && !rest.empty() && rest.front() == '=')) {
      if (!rest.starts_with("=\"")) return Problem("'" + name + "' needs a value in double quotes");
      const std::size_t close = rest.find('"', 2);
      if (close == std::string_view::npos)
        return Problem("the value of '" + name + "' is not closed");
      value = Unescaped(rest.substr(2, close - 2));
      rest.remove_prefix(close + 1);
      if (!rest.empty() && !IsBlank(rest.front())) return Problem("no blank after '" + name + "'");
    }
    if (std::string problem = row->read(settings, value); !problem.empty()) {
      return Problem(std::move(problem));
    }
  }
  if (settings.folder.empty()) return Problem("no folder=\"...\"");
  if (std::string problem = SettingsProblem(settings); !problem.empty()) {
    return Problem(std::move(problem));
  }
  return {Marker::Kind::kStart, settings, {}};
}

std::string StartMarkerText(const BlockSettings& settings) {
  std::string text = " tervane";
  for (const SettingRow& row : kSettings) {
    const std::optional<std::string> value = row.write(settings);
    if (!value) continue;
    text += " " + std::string(row.name);
    if (row.form == Form::kValue || !value->empty()) text += "=\"" + EscapeHtml(*value) + "\"";
  }
  return text + " ";
}

BlockSettings WithGivenSettings(BlockSettings block, const Options& options) {
  for (const SettingRow& row : kSettings) {
    if (options.given.contains(row.option)) row.take(block, options);
  }
  return block;
}

std::string SettingsProblem(const BlockSettings& settings) {
  if ((settings.size || settings.alt) && settings.mode == DisplayMode::kTextLink) {
    return "size and alt need mode=\"image-link\" or mode=\"image\"";
  }
  if (settings.thumbs && settings.thumbs->folder.empty()) return "thumb-size needs thumbs";
  if (settings.thumbs && settings.mode == DisplayMode::kTextLink) {
    return "thumbs needs mode=\"image-link\" or mode=\"image\"";
  }
  if (settings.lazy && settings.mode == DisplayMode::kTextLink) {
    return "lazy needs mode=\"image-link\" or mode=\"image\"";
  }
  return "";
}

}  // namespace tervane::cli
