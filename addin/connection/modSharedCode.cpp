#include "addin/connection/modSharedCode.h"

#include <exception>
#include <string>

#include "addin/dialog/linkaddress/messages.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"

namespace tervane::modSharedCode {

std::shared_ptr<HostApplication> p_mobjHostApp;

namespace {

// The control taken as a button, as an assignment to a button variable takes
// it: any other kind of control is a type mismatch.
std::unique_ptr<CommandBarControl> AsButton(std::unique_ptr<CommandBarControl> control) {
  if (control && !control->IsButton()) throw Error(kErrTypeMismatch, "Type mismatch");
  return control;
}

}  // namespace

std::unique_ptr<CommandBarControl> AddToolsMenuButton(std::shared_ptr<HostApplication> application,
                                                      int /*connectMode*/, AddInInstance& addInInst,
                                                      MessageBoxes& boxes) {
  p_mobjHostApp = std::move(application);
  try {
    const std::unique_ptr<CommandBar> tools = p_mobjHostApp->CommandBars(kToolsBar);
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

void RemoveToolsMenuButton(int removeMode) {
  if (removeMode != kRemoveModeUserUnload || !p_mobjHostApp) return;
  std::unique_ptr<CommandBar> tools;
  std::vector<std::unique_ptr<CommandBarControl>> controls;
  try {
    tools = p_mobjHostApp->CommandBars(kToolsBar);
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
