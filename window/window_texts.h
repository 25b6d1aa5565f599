// The texts that TervaneWindow.exe shows besides the link builder's own, as
// the user sees them. UTF-8 here; they reach Win32 as UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/system_error_texts.h"

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

/// A reason of failure in Japanese, for the descriptions that hold
/// `english`; with `detail`, the cause that follows the English step
/// ("writing the temporary file: <message>") is added in brackets: in
/// Japanese for the system errors that have a text of their own, else as
/// the system says it. A "{}" in `japanese` stands for the encoding's name,
/// which the description gives in brackets after `english`.
struct ReasonText {
  std::string_view english;
  std::string_view japanese;
  bool detail = false;
};

inline constexpr ReasonText kReasons[] = {
    {"it is read-only", "ページが読み取り専用です。"},
    {"another program is writing it",
     "ほかのプログラムがページを使用しているため、書き込めません。"},
    {"cannot lock it", "ページをロックできません。", true},
    {"would not be links there",
     "ページがコメントやスクリプトなどの途中で終わっているため、リンクを追加できません。"},
    {"cannot be written in", "ページの文字コードでは書けない文字がファイル名にあります。"},
    {"the page declares the encoding",
     "ページの文字コード {} には、ページのほかの部分の読み方を変えずに書き加えられません。"},
    {"the page is too large", "ページが大きすぎます (32 MB まで読み込めます)。"},
    {"not a text page", "テキストのページではありません。"},
    {"it is a folder", "ページではなくフォルダです。"},
    {"cannot create a temporary file beside it", "ページのフォルダに一時ファイルを作成できません。",
     true},
    {"the temporary file", "ページを書き込めませんでした。", true},
    {"replacing it with", "ページを置き換えられませんでした。", true},
    {"cannot inspect it", "ページの情報を読み取れません。", true},
    {"Path not found", tervane::texts::kFolderNotFound},
    {"Device unavailable", "ドライブまたは共有フォルダが使用できません。"},
};

/// The title bar: the application title and the page's file name.
inline std::string WindowCaption(std::string_view pageName) {
  return std::string(tervane::texts::kAppTitle) + " - " + std::string(pageName);
}

}  // namespace tervane::window::texts
