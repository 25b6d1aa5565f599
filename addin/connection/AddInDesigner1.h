// The add-in's connection object: what the editor creates, connects and
// destroys. It owns the link builder dialog and the Tools menu button whose
// clicks open it. The COM class of the Win32 layer forwards the editor's
// calls here.
#pragma once

#include <memory>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/platform/command_bars.h"
#include "addin/platform/platform.h"

namespace tervane {

class AddInDesigner1 {
 public:
  /// Creating the object creates the dialog, not yet loaded.
  explicit AddInDesigner1(Platform& platform);
  /// Destroying it unloads and releases the dialog.
  ~AddInDesigner1();
  AddInDesigner1(const AddInDesigner1&) = delete;
  AddInDesigner1& operator=(const AddInDesigner1&) = delete;

  /// Finds or adds the Tools menu button and hooks its clicks. A failure of
  /// either is shown with the common error report and leaves the add-in
  /// connected without a button; it is not thrown.
  void OnConnection(std::shared_ptr<HostApplication> application, int connectMode,
                    AddInInstance& addInInst);
  void OnDisconnection(int removeMode);
  void OnStartupComplete() {}
  void OnBeginShutdown() {}
  void OnAddInsUpdate() {}

  /// The Tools menu command: opens the dialog, or says that no page is open.
  void p_mctlBtnEvents_Click();

  frmCOMAddIn* LinkBuilder() const { return p_mfrmLinkBuilder.get(); }
  bool HasButton() const { return p_mctlBtnEvents != nullptr; }

 private:
  void AddinInstance_Initialize();
  void AddinInstance_Terminate();

  Platform& platform_;
  std::unique_ptr<frmCOMAddIn> p_mfrmLinkBuilder;
  std::unique_ptr<CommandBarControl> p_mctlBtnEvents;
  std::unique_ptr<EventHook> clickHook_;
};

}  // namespace tervane
