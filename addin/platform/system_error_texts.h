// Japanese reasons for the Windows error codes that users meet when a file
// cannot be read or written, for the programs that say why in Japanese
// (TervaneWindow.exe and the installer). The codes are Windows' own; the
// table is plain numbers so that the installer's decisions, which use it,
// build and are tested on every system.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tervane::texts {

inline constexpr std::string_view kFolderNotFound = "フォルダが見つかりません。";
inline constexpr std::string_view kFileInUse = "ほかのプログラムがファイルを使用しています。";
inline constexpr std::string_view kDiskFull = "ディスクの空き容量が足りません。";
inline constexpr std::string_view kShareNotFound = "ネットワーク上の共有フォルダが見つかりません。";

struct SystemErrorText {
  std::uint32_t code;
  std::string_view japanese;
};

inline constexpr SystemErrorText kSystemErrorTexts[] = {
    {2, "ファイルが見つかりません。"},               // ERROR_FILE_NOT_FOUND
    {3, kFolderNotFound},                            // ERROR_PATH_NOT_FOUND
    {5, "アクセスが拒否されました。"},               // ERROR_ACCESS_DENIED
    {19, "ディスクが書き込み禁止になっています。"},  // ERROR_WRITE_PROTECT
    {21, "ドライブの準備ができていません。"},        // ERROR_NOT_READY
    {32, kFileInUse},                                // ERROR_SHARING_VIOLATION
    {33, kFileInUse},                                // ERROR_LOCK_VIOLATION
    {39, kDiskFull},                                 // ERROR_HANDLE_DISK_FULL
    {53, kShareNotFound},                            // ERROR_BAD_NETPATH
    {67, kShareNotFound},                            // ERROR_BAD_NET_NAME
    {112, kDiskFull},                                // ERROR_DISK_FULL
    {1224, kFileInUse},                              // ERROR_USER_MAPPED_FILE
};

/// The Japanese reason for the Windows error `code`; nullopt for a code the
/// table does not name.
inline std::optional<std::string_view> SystemErrorReason(std::uint32_t code) {
  for (const SystemErrorText& row : kSystemErrorTexts) {
    if (row.code == code) return row.japanese;
  }
  return std::nullopt;
}

}  // namespace tervane::texts
