#include "addin/connection/AddInDesigner1.h"

#include "addin/connection/modSharedCode.h"
#include "addin/dialog/linkaddress/texts.h"

namespace tervane {
namespace {

class EventScope {
 public:
  explicit EventScope(AddInDesigner1& addIn) : addIn_(addIn) { addIn_.EventStarted(); }
  ~EventScope() { addIn_.EventEnded(); }
  EventScope(const EventScope&) = delete;
  EventScope& operator=(const EventScope&) = delete;

 private:
  AddInDesigner1& addIn_;
};

}  // namespace

AddInDesigner1::AddInDesigner1(Platform& platform) : platform_(platform) {
  AddinInstance_Initialize();
}

AddInDesigner1::~AddInDesigner1() { AddinInstance_Terminate(); }

void AddInDesigner1::AddinInstance_Initialize() {
  p_mfrmLinkBuilder = std::make_unique<frmCOMAddIn>(platform_);
}

void AddInDesigner1::AddinInstance_Terminate() {
  clickHook_.reset();
  p_mctlBtnEvents.reset();
  if (p_mfrmLinkBuilder) p_mfrmLinkBuilder->Unload();
  p_mfrmLinkBuilder.reset();
  // No reference to the editor's objects outlives the connection object.
  p_mobjHostApp.reset();
}

void AddInDesigner1::OnConnection(std::shared_ptr<HostApplication> application, int connectMode,
                                  AddInInstance& addInInst) {
  clickHook_.reset();
  // Kept even when adding the button fails.
  p_mobjHostApp = std::move(application);
  p_mctlBtnEvents =
      modSharedCode::AddToolsMenuButton(*p_mobjHostApp, connectMode, addInInst, platform_.boxes);
  if (!p_mctlBtnEvents) return;
  try {
    clickHook_ = p_mctlBtnEvents->HookClick([this] { p_mctlBtnEvents_Click(); });
  } catch (...) {
    // A button whose clicks cannot be heard is no command. The host is told
    // nothing, so that it keeps the add-in loaded; the user gets the report.
    p_mctlBtnEvents.reset();
    modSharedCode::ReportCurrentException(platform_.boxes);
  }
}

void AddInDesigner1::OnDisconnection(int removeMode) {
  // The click hook goes first: a deleted button raises nothing more.
  clickHook_.reset();
  p_mctlBtnEvents.reset();
  modSharedCode::RemoveToolsMenuButton(p_mobjHostApp.get(), removeMode);
  if (eventsRunning_ > 0) {
    unloadPending_ = true;
  } else {
    p_mfrmLinkBuilder->Unload();
  }
}

void AddInDesigner1::EventEnded() {
  if (--eventsRunning_ > 0 || !unloadPending_) return;
  unloadPending_ = false;
  p_mfrmLinkBuilder->Unload();
}

void AddInDesigner1::p_mctlBtnEvents_Click() {
  const EventScope event(*this);
  try {
    if (!platform_.editor.ActivePageWindow()) {
      platform_.boxes.Show({std::string(texts::kNoPageOpen), std::string(texts::kAppTitle),
                            MsgButtons::kOk, MsgIcon::kNone});
    } else {
      p_mfrmLinkBuilder->Show();
      p_mfrmLinkBuilder->BringToFront();
    }
  } catch (...) {
    modSharedCode::ReportCurrentException(platform_.boxes);
  }
}

}  // namespace tervane
