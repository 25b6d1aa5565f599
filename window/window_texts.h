// The texts that TervaneWindow.exe shows besides the link builder's own, as
// the user sees them. UTF-8 here; they reach Win32 as UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/texts.h"

namespace tervane::window::texts {

/// The file-open box's two filters: pages, and every file.
inline constexpr std::string_view kPagesFilter = "HTML ファイル (*.htm;*.html)";
inline constexpr std::string_view kPagesPattern = "*.htm;*.html";
inline constexpr std::string_view kAllFilesFilter = "すべてのファイル (*.*)";
inline constexpr std::string_view kAllFilesPattern = "*.*";

inline constexpr std::string_view kCannotOpenPage = "次のページを開けません。";

/// The box for a page that cannot be opened: kCannotOpenPage, the page's
/// path and the reason, on three lines.
inline std::string CannotOpenPageMessage(std::string_view path, std::string_view reason) {
  return std::string(kCannotOpenPage) + "\r\n" + std::string(path) + "\r\n" + std::string(reason);
}

/// The title bar: the application title and the page's file name.
inline std::string WindowCaption(std::string_view pageName) {
  return std::string(tervane::texts::kAppTitle) + " - " + std::string(pageName);
}

}  // namespace tervane::window::texts
