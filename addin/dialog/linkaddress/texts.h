// The fixed texts of the add-in library, as the user sees them. UTF-8 here;
// the Win32 layer turns them into UTF-16.
#pragma once

#include <array>
#include <string_view>

#include "tervane/version.h"

namespace tervane::texts {

inline constexpr std::string_view kAppTitle = "Tervane ハイパーリンク一括作成";
inline constexpr std::string_view kCompletionTitle = "Tervane 処理完了";
inline constexpr std::string_view kErrorReportTitle = "Error!";

inline constexpr std::string_view kNoPageOpen = "ページが開かれていません";
inline constexpr std::string_view kDialogFailure = "エラーが発生しました";
inline constexpr std::string_view kNothingSelected = "ファイルが選択されていません。";

// Drive not ready: "ドライブ " + letter + ": - " + type + "\r\n" + kDriveNotReady.
inline constexpr std::string_view kDrivePrefix = "ドライブ ";
inline constexpr std::string_view kDriveLetterSuffix = ": - ";
inline constexpr std::string_view kDriveNotReady = "ドライブの準備ができていません。";
inline constexpr std::array<std::string_view, 6> kDriveTypes = {
    "不明",   "リムーバブル ディスク", "ハード ディスク", "ネットワーク ドライブ",
    "CD-ROM", "RAM ディスク"};

// Completion of link creation.
inline constexpr std::string_view kActivePage = "アクティブなページ ";
inline constexpr std::string_view kUrlOpen = "(URL:";
inline constexpr std::string_view kLinksAdded = ")にリンクを追加";
inline constexpr std::string_view kItemsAdded = "個のアイテムを追加しました。";

// Result of existing-link inversion.
inline constexpr std::string_view kLinksInspected = ")のリンクを検査";
inline constexpr std::string_view kReferenceFolder = "参照ディレクトリ ";
inline constexpr std::string_view kFilesLinked = "にリンクされているファイルが";
inline constexpr std::string_view kFilesLinkedCount = "個あります。";
inline constexpr std::string_view kNoLinks = "にはリンクは存在しません";

// Page information.
inline constexpr std::string_view kPageInfoHeading = "現在アクティブなページは次のものです。";
inline constexpr std::string_view kPageInfoTitle = "TITLE : ";
inline constexpr std::string_view kPageInfoUrl = "URL   : ";

// Common error report of the connection code.
inline constexpr std::string_view kErrorReportLead = "An error occurred in the COM add-in named '";
inline constexpr std::string_view kErrorReportLeadEnd = "'.";
inline constexpr std::string_view kErrorNumber = "Error #:";

// Dialog captions.
inline constexpr std::string_view kLabel4 = "ページの基底位置(&L)";
inline constexpr std::string_view kLocationInitial = "Text1";
inline constexpr std::string_view kLocationSetBtn = "設定(&S)";
inline constexpr std::string_view kGetPageInfo = "クリア(&R)";
inline constexpr std::string_view kLabel5 = "Tervane 2000/9 " TERVANE_VERSION_LABEL;
inline constexpr std::string_view kLabel1 = "リンク先の素材フォルダ(&F)";
inline constexpr std::string_view kLabel2 = "ハイパーリンクの対象候補(&F)";
inline constexpr std::string_view kLabel3 = "対象ファイル";
inline constexpr std::array<std::string_view, 4> kFilterCaptions = {"&SHORTCUT", "&JPEG",
                                                                    "&GIF,PNG", "&HTML,TEXT"};
inline constexpr std::string_view kImgModeFrame = "リンク表示方法(&D)";
inline constexpr std::string_view kOptWithText = "テキスト表示";
inline constexpr std::string_view kOptWithImg = "画像表示";
inline constexpr std::string_view kOptImgOnly = "画像のみ";
inline constexpr std::string_view kSelectAllBtn = "全て選択(&X)";
inline constexpr std::string_view kReverseExistLink = "既存リンクの反転";
inline constexpr std::string_view kOKButton = "作成";
inline constexpr std::string_view kCancelButton = "キャンセル";

// The maker's home page, opened from the version notice: a build setting.
#ifndef TERVANE_HOME_PAGE
#define TERVANE_HOME_PAGE "https://tervane.invalid/"
#endif
inline constexpr std::string_view kHomePage = TERVANE_HOME_PAGE;

}  // namespace tervane::texts
