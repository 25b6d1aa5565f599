// The link builder's window as TervaneWindow.exe shows it: the add-in's own
// window, its events passed through PageGuard, its title bar naming the
// page, and the program's message loop ended when the window is unloaded.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "addin/platform/dialog_view.h"
#include "addin/platform/editor.h"
#include "addin/platform/message_box.h"
#include "window/page_guard.h"

namespace tervane::window {

class ProgramViewFactory : public DialogViewFactory {
 public:
  /// `windows` makes the real window; `pageName` is the page's file name.
  ProgramViewFactory(DialogViewFactory& windows, PageApplication& editor, MessageBoxes& boxes,
                     std::string pageName)
      : windows_(windows), editor_(editor), boxes_(boxes), pageName_(std::move(pageName)) {}

  std::unique_ptr<DialogView> CreateView(DialogEvents& events) override;

 private:
  DialogViewFactory& windows_;
  PageApplication& editor_;
  MessageBoxes& boxes_;
  std::string pageName_;
};

}  // namespace tervane::window
