// The link builder dialog. It lists the files of a material folder, lets the
// user pick some, and writes a link (or an image) for each into the active
// page; it can also find which listed files the page already links to.
//
// The dialog's state lives in its controls (DialogView); this class holds the
// handlers and the procedures they share. It never touches a platform API
// directly: everything goes through Platform.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addin/dialog/linkaddress/markup.h"
#include "addin/platform/platform.h"

namespace tervane {

class frmCOMAddIn : public DialogEvents {
 public:
  explicit frmCOMAddIn(Platform& platform);
  ~frmCOMAddIn() override;
  frmCOMAddIn(const frmCOMAddIn&) = delete;
  frmCOMAddIn& operator=(const frmCOMAddIn&) = delete;

  /// Shows the window without waiting. An unloaded dialog is loaded first:
  /// its controls start in their layout state and Form_Load runs; a failure
  /// while loading propagates to the caller (the dialog stays loaded, with
  /// the steps done so far).
  void Show();
  void BringToFront();
  /// Closes the window and discards the state of every control. Asked while
  /// a handler runs (a message box of the handler is up, and the user or
  /// another program closes the window), the unload waits until the
  /// outermost running handler has ended, as that handler goes on to use
  /// the controls.
  void Unload();
  bool IsLoaded() const;

  /// The controls of the loaded window. Error when the dialog is not loaded.
  const DialogControls& Controls() const;

  /// The description of the last failure a handler trapped and reported with
  /// the dialog failure message; empty when there was none.
  const std::string& LastFailure() const { return lastFailure_; }

  /// The shortcut files of the last press of OKButton or ReverseExistLink
  /// whose address would run a script (see RunsAsScript): each was read as
  /// a shortcut without an address, so 作成 wrote its placeholder.
  const std::vector<std::string>& ScriptShortcuts() const { return scriptShortcuts_; }

  void Form_Load();

  void Drive1_Change() override;
  void Dir1_Change() override;
  void Filter_Click(int index) override;
  void SelectAllBtn_Click() override;
  void LocationSetBtn_Click() override;
  void GetPageInfo_Click() override;
  void OKButton_Click() override;
  void ReverseExistLink_Click() override;
  void CancelButton_Click() override;
  void Label5_Click() override;

 private:
  void UpdatePageLocation();
  std::string GetFolderAddress() const;
  std::string RemoveTrailingBackslash(std::string_view text) const;
  static std::string AddTrailingSlash(std::string_view text);
  static bool IsShortcutName(std::string_view name);
  std::string ReadShortcutUrl(std::string_view name);

  /// The active page's document, reached afresh: page application, active
  /// page window, document. Error when no page is open.
  std::unique_ptr<HtmlDocument> ActivePageDocument();
  DisplayMode ChosenDisplayMode() const;
  /// Records the failure being handled and shows the dialog failure message.
  void ReportDialogFailure();

  /// Counts a handler as running while it lives; the last one to end
  /// carries out an Unload asked for meanwhile.
  class RunningHandler {
   public:
    explicit RunningHandler(frmCOMAddIn& dialog) : dialog_(dialog) { ++dialog_.running_; }
    ~RunningHandler();
    RunningHandler(const RunningHandler&) = delete;
    RunningHandler& operator=(const RunningHandler&) = delete;

   private:
    frmCOMAddIn& dialog_;
  };

  Platform& platform_;
  std::unique_ptr<DialogView> view_;
  int running_ = 0;
  bool unloadAsked_ = false;
  std::string lastFailure_;
  std::vector<std::string> scriptShortcuts_;
};

}  // namespace tervane
