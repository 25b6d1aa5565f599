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

}  // namespace tervane
