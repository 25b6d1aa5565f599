// The texts that TervaneWindow.exe shows besides the link builder's own, as
// the user sees them. UTF-8 here; they reach Win32 as UTF-16.
#pragma once

#include <string_view>

namespace tervane::window::texts {

/// The file-open box's two filters: pages, and every file.
inline constexpr std::string_view kPagesFilter = "HTML ファイル (*.htm;*.html)";
inline constexpr std::string_view kPagesPattern = "*.htm;*.html";
inline constexpr std::string_view kAllFilesFilter = "すべてのファイル (*.*)";
inline constexpr std::string_view kAllFilesPattern = "*.*";

/// A page that cannot be opened: this line, the page's path, and the reason.
inline constexpr std::string_view kCannotOpenPage = "次のページを開けません。";

/// Between the application title and the page's file name in the title bar.
inline constexpr std::string_view kTitleSeparator = " - ";

}  // namespace tervane::window::texts
