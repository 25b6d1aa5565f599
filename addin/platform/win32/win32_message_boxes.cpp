#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/utf16.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::win32 {
namespace {

UINT ButtonsFlag(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::kOk:
      return MB_OK;
    case MsgButtons::kRetryCancel:
      return MB_RETRYCANCEL;
    case MsgButtons::kYesNo:
      return MB_YESNO;
    case MsgButtons::kYesNoCancel:
      return MB_YESNOCANCEL;
  }
  return MB_OK;
}

UINT IconFlag(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::kNone:
      return 0;
    case MsgIcon::kStop:
      return MB_ICONSTOP;
    case MsgIcon::kQuestion:
      return MB_ICONQUESTION;
    case MsgIcon::kInformation:
      return MB_ICONINFORMATION;
  }
  return 0;
}

}  // namespace

// Without an owner, MB_TASKMODAL keeps the user off the thread's other
// windows (the link builder among them) while the box is up.
MsgAnswer Win32MessageBoxes::Show(const MessageBoxRequest& request) {
  const std::wstring title = Widen(request.title.empty() ? texts::kAppTitle : request.title);
  const int answer =
      ::MessageBoxW(nullptr, Widen(request.text).c_str(), title.c_str(),
                    ButtonsFlag(request.buttons) | IconFlag(request.icon) | MB_TASKMODAL);
  switch (answer) {
    case IDOK:
      return MsgAnswer::kOk;
    case IDRETRY:
      return MsgAnswer::kRetry;
    case IDYES:
      return MsgAnswer::kYes;
    case IDNO:
      return MsgAnswer::kNo;
    case IDCANCEL:
      return MsgAnswer::kCancel;
    default:
      ThrowLastError("MessageBoxW");
  }
}

}  // namespace tervane::win32
