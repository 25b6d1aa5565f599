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
  /// Takes the button off the menu on a user's unload, and unloads the
  /// dialog: it works on the editor's pages, which it may no longer reach.
  void OnDisconnection(int removeMode);
  void OnStartupComplete() {}
  void OnBeginShutdown() {}
  void OnAddInsUpdate() {}

  /// The Tools menu command: opens the dialog, or says that no page is open.
  /// Any failure, asking for the page included, is shown with the common
  /// error report: the button's event source would show nothing.
  void p_mctlBtnEvents_Click();

  /// An event of the host or of the dialog's window runs. A disconnection
  /// that arrives meanwhile, from a message loop nested in the event (a
  /// message box pumps the host's calls), unloads the dialog only when the
  /// last event has ended, so that no handler loses its window under it.
  void EventStarted() { ++eventsRunning_; }
  void EventEnded();

  frmCOMAddIn* LinkBuilder() const { return p_mfrmLinkBuilder.get(); }
  bool HasButton() const { return p_mctlBtnEvents != nullptr; }

 private:
  void AddinInstance_Initialize();
  void AddinInstance_Terminate();

  Platform& platform_;
  /// The host application given at connection, for RemoveToolsMenuButton.
  std::shared_ptr<HostApplication> p_mobjHostApp;
  std::unique_ptr<frmCOMAddIn> p_mfrmLinkBuilder;
  std::unique_ptr<CommandBarControl> p_mctlBtnEvents;
  std::unique_ptr<EventHook> clickHook_;
  int eventsRunning_ = 0;
  bool unloadPending_ = false;
};

}  // namespace tervane
