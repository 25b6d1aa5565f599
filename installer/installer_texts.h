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

/// The second lines of kM9Failed: what failed, followed in brackets by the
/// system's cause (a Japanese text of its own, or kSystemError and the
/// code), or by kExitCode and regsvr32's exit code.
inline constexpr std::string_view kNoApplicationData =
    "アプリケーション データ フォルダの場所を取得できません。";
inline constexpr std::string_view kNoCarriedLibrary =
    "インストーラに Tervane.dll が含まれていません。";
inline constexpr std::string_view kCannotWrite = "Tervane.dll を書き込めません。";
inline constexpr std::string_view kNoRegistrationTool = "regsvr32.exe を起動できません。";
inline constexpr std::string_view kRegistrationFailed =
    "regsvr32.exe で Tervane.dll を登録できませんでした。";
inline constexpr std::string_view kExitCode = "終了コード ";
inline constexpr std::string_view kKeysStay = "アドインの登録をレジストリから削除できません。";
/// A system cause that has no Japanese text: followed by its code.
inline constexpr std::string_view kSystemError = "Windows のエラー ";

/// Another installer holds the single-run mutex.
inline constexpr std::string_view kAlreadyRunning =
    "Tervane SETUP はすでに実行中です。\r\n実行中の Tervane SETUP を終わらせてから、もう一度"
    "実行してください。";
/// The installed copy can be neither replaced nor moved aside.
inline constexpr std::string_view kInUse =
    "Tervane.dll がほかのプログラムで使用中のため、置き換えられません。\r\nFrontPage 2000 を終了し"
    "てから、もう一度インストールを行ってください。";
/// After kM6Installed and a blank line, when the copy that the editor had
/// loaded was moved aside.
inline constexpr std::string_view kRestartEditor =
    "FrontPage 2000 が起動していたときは、FrontPage 2000 "
    "を起動し直すと新しいアドインが使われます。";
/// regsvr32 /u failed: the copy may be damaged.
inline constexpr std::string_view kRemoveAnyway =
    "アドインの登録を解除できませんでした。ファイルが壊れている可能性があります。\r\nアドインの登録"
    "を直接削除してから、ファイルを削除しますか？";
/// Followed by the paths that stayed, each on a line of its own.
inline constexpr std::string_view kLeftBehind =
    "次のファイルを削除できませんでした。FrontPage 2000 を終了してから削除してください。";

}  // namespace tervane::installer::texts
