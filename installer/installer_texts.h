// The installer's messages, as the user sees them. UTF-8 here; the Win32
// layer shows them as UTF-16, so they read the same on every system locale.
#pragma once

#include <string_view>

namespace tervane::installer::texts {

inline constexpr std::string_view kTitle = "Tervane SETUP";

inline constexpr std::string_view kM1NoShellAllocator =
    "シェルのアロケータを取得できません。\r\nこの問題を解決するには再起動が必要な場合があります。";
// Two blanks between "COMアドイン" and "Tervane".
inline constexpr std::string_view kM2Install =
    "Frontpage2000用COMアドイン  Tervane ハイパーリンク一括作成アドインのインストールを行います。"
    "\r\n\r\nアドインはAPPDATA/MICROSOFT/ADDINSフォルダにコピーされレジストリに登録されます。";
inline constexpr std::string_view kM3Reinstall =
    "Frontpage2000用COMアドイン  Tervane ハイパーリンク一括作成アドインのインストールを行います。"
    "\r\n\r\nAPPDATA/MICROSOFT/ADDINSフォルダに同じバーションか、または新しいバージョンがすでにイン"
    "ストールされています。\r\nインストールしますか？「いいえ」でアンインストールを行います。";
inline constexpr std::string_view kM4Uninstall =
    "Frontpage2000のアドインの解除を行ってからアンインストールを行う必要があります。\r\nアドインの"
    "解"
    "除を行わないとメニューにアドイン名が残ります。\r\nこの場合、手動でメニューを削除しなければなり"
    "ませ"
    "ん。\r\nアンインストールを行いますか？";
inline constexpr std::string_view kM5Uninstalled = "アンインストールが完了しました";
inline constexpr std::string_view kM6Installed = "インストールが完了しました";
inline constexpr std::string_view kM7TargetBlocked =
    "インストール先に障害がありファイルを作成できません";
/// Followed by the full target file path.
inline constexpr std::string_view kM8NoFolder =
    "ファイル保存先のディレクトリが作成ができません\r\nファイルのパス ";
inline constexpr std::string_view kM9Failed = "インストールに失敗しました";

}  // namespace tervane::installer::texts
