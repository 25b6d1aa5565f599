#include "addin/dialog/linkaddress/markup.h"

namespace tervane {
namespace {

std::string Quoted(std::string_view address) { return '"' + EscapeHtml(address) + '"'; }

// `name` without its last four characters (UTF-8 sequences count as one).
std::string_view WithoutExtension(std::string_view name) {
  std::size_t end = name.size();
  for (int dropped = 0; dropped < 4 && end > 0; ++dropped) {
    --end;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  }
  return name.substr(0, end);
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string FileMarkup(DisplayMode mode, std::string_view linkAddress, std::string_view fileName) {
  const std::string address = Quoted(linkAddress);
  switch (mode) {
    case DisplayMode::kTextLink:
      return "<a href=" + address + ">" + EscapeHtml(fileName) + "</a><br>";
    case DisplayMode::kImageLink:
      return "<a href=" + address + "><img src=" + address + "></a>";
    case DisplayMode::kImageOnly:
      return "<img src=" + address + "><br>";
  }
  return {};
}

std::string ShortcutMarkup(std::string_view shortcutUrl, std::string_view fileName) {
  return "<a href=" + Quoted(shortcutUrl) + ">" + EscapeHtml(WithoutExtension(fileName)) +
         "</a><br>";
}

std::string PlaceholderMarkup(std::string_view linkAddress) {
  return "<P>Unknown: " + Quoted(linkAddress) + "</p>";
}

std::string_view NameWithoutExtension(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string WithImageAttributes(std::string_view markup, const std::optional<PictureSize>& size,
                                const std::optional<std::string_view>& alt) {
  // The src value is escaped, so the first ">" after "<img" ends the tag.
  const std::size_t img = markup.find("<img ");
  if (img == std::string_view::npos) return std::string(markup);
  const std::size_t end = markup.find('>', img);
  if (end == std::string_view::npos) return std::string(markup);
  std::string attributes;
  if (size) {
    attributes += " width=\"" + std::to_string(size->width) + "\" height=\"" +
                  std::to_string(size->height) + "\"";
  }
  if (alt) attributes += " alt=\"" + EscapeHtml(*alt) + "\"";
  std::string result(markup);
  result.insert(end, attributes);
  return result;
}

std::string WithThumbnail(std::string_view markup, std::string_view thumbnail,
                          const std::optional<std::string_view>& thumbnail2x, PictureSize size) {
  static constexpr std::string_view kSrc = "<img src=\"";
  const std::size_t src = markup.find(kSrc);
  if (src == std::string_view::npos) return std::string(markup);
  const std::size_t valueBegin = src + kSrc.size();
  const std::size_t valueEnd = markup.find('"', valueBegin);
  if (valueEnd == std::string_view::npos) return std::string(markup);
  std::string attributes = EscapeHtml(thumbnail) + '"';
  if (thumbnail2x) {
    std::string candidate;
    for (const char c : *thumbnail2x) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      if (c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ',') {
        candidate += '%';
        candidate += kHex[static_cast<unsigned char>(c) >> 4];
        candidate += kHex[c & 0xF];
      } else {
        candidate += c;
      }
    }
    attributes += " srcset=\"" + EscapeHtml(candidate) + " 2x\"";
  }
  attributes += " width=\"" + std::to_string(size.width) + "\" height=\"" +
                std::to_string(size.height) + "\"";
  std::string result(markup.substr(0, valueBegin));
  result += attributes;
  result.append(markup.substr(valueEnd + 1));
  return result;
}

std::string WithItemAttributes(std::string_view markup, bool lazy,
                               const std::optional<std::string>& className) {
  // Every value in the markup is escaped, so a start tag ends at its first
  // ">".
  std::string result(markup);
  if (lazy) {
    const std::size_t img = result.find("<img ");
    const std::size_t end = img == std::string::npos ? img : result.find('>', img);
    if (end != std::string::npos) result.insert(end, " loading=\"lazy\" decoding=\"async\"");
  }
  if (className && result.starts_with('<')) {
    const std::size_t end = result.find('>');
    if (end != std::string::npos) result.insert(end, " class=\"" + EscapeHtml(*className) + "\"");
  }
  return result;
}

}  // namespace tervane
