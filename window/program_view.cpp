#include "window/program_view.h"

#include <windows.h>

#include "addin/platform/win32/dialog_window.h"
#include "addin/platform/win32/utf16.h"
#include "window/window_texts.h"

namespace tervane::window {
namespace {

BOOL CALLBACK SetCaptionOfLinkBuilder(HWND window, LPARAM caption) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring_view(name) == win32::kDialogWindowClass) {
    ::SetWindowTextW(window, reinterpret_cast<const wchar_t*>(caption));
  }
  return TRUE;
}

class ProgramView : public DialogView {
 public:
  ProgramView(DialogViewFactory& windows, DialogEvents& dialog, PageApplication& editor,
              MessageBoxes& boxes, const std::string& pageName)
      : guard_(dialog, editor, boxes),
        window_(windows.CreateView(guard_)),
        caption_(win32::Widen(texts::WindowCaption(pageName))) {}

  // The program lives as long as its window.
  ~ProgramView() override {
    window_.reset();
    ::PostQuitMessage(0);
  }

  const DialogControls& Controls() override { return window_->Controls(); }

  void Show() override {
    ::EnumThreadWindows(::GetCurrentThreadId(), SetCaptionOfLinkBuilder,
                        reinterpret_cast<LPARAM>(caption_.c_str()));
    window_->Show();
  }

  void BringToFront() override { window_->BringToFront(); }

 private:
  PageGuard guard_;
  std::unique_ptr<DialogView> window_;
  std::wstring caption_;
};

}  // namespace

std::unique_ptr<DialogView> ProgramViewFactory::CreateView(DialogEvents& events) {
  return std::make_unique<ProgramView>(windows_, events, editor_, boxes_, pageName_);
}

}  // namespace tervane::window
