#include "window/run_window.h"

#include <exception>
#include <optional>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/filepage/page_on_disk.h"
#include "addin/platform/win32/win32_platform.h"
#include "window/failure_reason.h"
#include "window/open_page_box.h"
#include "window/program_view.h"
#include "window/window_texts.h"

namespace tervane::window {
namespace {

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The box names the page once, on its own line; the reason follows without
// it.
void ShowCannotOpen(MessageBoxes& boxes, const std::string& path, const std::exception& failure) {
  const auto* error = dynamic_cast<const Error*>(&failure);
  boxes.Show({texts::CannotOpenPageMessage(
                  path, JapaneseReason(failure.what(), error ? error->SystemCode() : 0)),
              std::string(tervane::texts::kAppTitle), MsgButtons::kOk, MsgIcon::kStop});
}

}  // namespace

int RunWindow(HINSTANCE module, const std::vector<std::string>& arguments) {
  win32::Win32MessageBoxes systemBoxes;
  ReasonBoxes boxes(systemBoxes);
  std::string path;
  if (arguments.empty()) {
    const std::optional<std::string> chosen = AskForPage();
    if (!chosen) return kExitDone;
    path = *chosen;
  } else {
    path = arguments.front();
  }

  // The page must open now; later presses read it afresh. Its absolute path
  // stays right while the folder lists change the current folder.
  try {
    path = FilePage::Open(path)->Path();
  } catch (const std::exception& e) {
    ShowCannotOpen(boxes, path, e);
    return kExitPage;
  }

  win32::Win32DriveSystem drives;
  win32::Win32FileSystem files;
  win32::Win32Shell shell;
  PageOnDisk editor(path, PageLockTimeout());
  win32::Win32DialogViewFactory windows(module, drives, files, boxes);
  ProgramViewFactory views(windows, editor, boxes, FileName(path));
  Platform platform{drives, files, boxes, shell, editor, views};
  frmCOMAddIn dialog(platform);
  try {
    dialog.Show();
    dialog.BringToFront();
  } catch (const std::exception& e) {
    ShowCannotOpen(boxes, path, e);
    return kExitPage;
  }

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return kExitDone;
}

}  // namespace tervane::window
