// The link builder's events as TervaneWindow.exe passes them to the dialog.
// A button that works on the page is pressed only while the page is there,
// as the editor's menu command opens the dialog only on an open page;
// otherwise the user is told that no page is open.
#pragma once

#include "addin/platform/dialog_view.h"
#include "addin/platform/editor.h"
#include "addin/platform/message_box.h"

namespace tervane::window {

class PageGuard : public DialogEvents {
 public:
  PageGuard(DialogEvents& dialog, PageApplication& editor, MessageBoxes& boxes)
      : dialog_(dialog), editor_(editor), boxes_(boxes) {}

  void Drive1_Change() override { dialog_.Drive1_Change(); }
  void Dir1_Change() override { dialog_.Dir1_Change(); }
  void Filter_Click(int index) override { dialog_.Filter_Click(index); }
  void SelectAllBtn_Click() override { dialog_.SelectAllBtn_Click(); }
  void LocationSetBtn_Click() override { dialog_.LocationSetBtn_Click(); }
  void GetPageInfo_Click() override;
  void OKButton_Click() override;
  void ReverseExistLink_Click() override;
  void CancelButton_Click() override { dialog_.CancelButton_Click(); }
  void Label5_Click() override { dialog_.Label5_Click(); }

 private:
  /// False, after telling the user, when no page is open.
  bool PageIsOpen();

  DialogEvents& dialog_;
  PageApplication& editor_;
  MessageBoxes& boxes_;
};

}  // namespace tervane::window
