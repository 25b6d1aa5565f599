#include "addin/connection/modSharedCode.h"

#include <exception>
#include <string>

#include "addin/dialog/linkaddress/messages.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"

namespace tervane::modSharedCode {

namespace {

// The control taken as a button, as an assignment to a button variable takes
// it: any other kind of control is a type mismatch.
std::unique_ptr<CommandBarControl> AsButton(std::unique_ptr<CommandBarControl> control) {
  if (control && !control->IsButton()) throw Error(kErrTypeMismatch, "Type mismatch");
  return control;
}

}  // namespace

std::unique_ptr<CommandBarControl> AddToolsMenuButton(HostApplication& application,
                                                      int /*connectMode*/, AddInInstance& addInInst,
                                                      MessageBoxes& boxes) {
  try {
    const std::unique_ptr<CommandBar> tools = application.CommandBars(kToolsBar);
    std::unique_ptr<CommandBarControl> button = AsButton(tools->FindControl(kButtonTag));
    if (button) return button;

    button = AsButton(tools->AddControl(kControlTypeButton, kButtonTag));
    button->SetCaption(kButtonCaption);
    button->SetTag(kButtonTag);
    button->SetStyle(kButtonStyleCaption);
    button->SetOnAction("!<" + addInInst.ProgId() + ">");
    return button;
  } catch (...) {
    ReportCurrentException(boxes);
    return nullptr;
  }
}

void RemoveToolsMenuButton(HostApplication* hostApp, int removeMode) {
  if (removeMode != kRemoveModeUserUnload || !hostApp) return;
  std::unique_ptr<CommandBar> tools;
  std::vector<std::unique_ptr<CommandBarControl>> controls;
  try {
    tools = hostApp->CommandBars(kToolsBar);
    controls = tools->Controls();
  } catch (...) {
    return;
  }
  for (const std::unique_ptr<CommandBarControl>& control : controls) {
    try {
      if (control->Tag() == kButtonTag) control->Delete();
    } catch (...) {
      // A control whose tag cannot be read, or that refuses to go, stays.
    }
  }
}

void ReportAddInError(MessageBoxes& boxes, std::int32_t number, std::string_view description) {
  boxes.Show({AddInErrorReport(number, description), std::string(texts::kErrorReportTitle),
              MsgButtons::kOk, MsgIcon::kNone});
}

void ReportCurrentException(MessageBoxes& boxes) {
  try {
    throw;
  } catch (const Error& e) {
    ReportAddInError(boxes, e.Number(), e.what());
  } catch (const std::exception& e) {
    ReportAddInError(boxes, kErrInvalidCall, e.what());
  } catch (...) {
    ReportAddInError(boxes, kErrInvalidCall, "");
  }
}

}  // namespace tervane::modSharedCode
