// Why something failed, as TervaneWindow.exe tells its users: the platform
// layer describes its failures in English for the log-like reports of
// tervane and the add-in's error report; the window says it in Japanese.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "addin/platform/message_box.h"

namespace tervane::window {

/// The reason of a failure in Japanese, without the page's path: from a
/// description such as "Cannot write C:\web\p.htm: it is read-only" and
/// the Windows error code of the call that failed, if any. A reason that
/// has no Japanese text of its own is given as the description says it
/// after the path (the system's own message, in the system's language, for
/// a failed system call).
std::string JapaneseReason(std::string_view failure, std::uint32_t systemCode = 0);

/// The program's boxes: a box that reports a failure ("エラーが発生しました")
/// gets the failure's reason on a second line. Such a box is shown while
/// the failure is being handled, so the reason is the exception in flight.
class ReasonBoxes : public MessageBoxes {
 public:
  explicit ReasonBoxes(MessageBoxes& boxes) : boxes_(boxes) {}
  MsgAnswer Show(const MessageBoxRequest& request) override;

 private:
  MessageBoxes& boxes_;
};

}  // namespace tervane::window
