// The link builder dialog on the in-memory Windows platform: drive C with a
// site under C:\web, the page C:\web\index.htm open in the editor.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/dialog/frmCOMAddIn.h"
#include "tests/support/fake_dialog_platform.h"

namespace tervane::testing {

class DialogTest : public ::testing::Test, protected FakeDialogPlatform {
 protected:
  DialogTest() {
    drives.AddDrive('C', "C:\\start");
    files.AddFolder("C:\\start", {"s.jpg"});
    files.AddFolder("C:\\web", {"index.htm"});
    editor.page = FakeEditor::Page{
        "file:///C:/web/index.htm", "Top", "file:///C:/web/index.htm", {}, {}, {}, {}};
  }

  const DialogControls& C() const { return dialog.Controls(); }

  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < C().File1->ListCount(); ++i) names.push_back(C().File1->List(i));
    return names;
  }

  std::vector<std::string> SelectedNames() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < C().File1->ListCount(); ++i) {
      if (C().File1->Selected(i)) names.push_back(C().File1->List(i));
    }
    return names;
  }

  void Select(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < C().File1->ListCount(); ++i) {
      for (const std::string& name : names) {
        if (C().File1->List(i) == name) C().File1->SetSelected(i, true);
      }
    }
  }

  void OpenIn(const std::string& folder) {
    C().Drive1->SetDrive(folder);
    C().Dir1->SetPath(folder);
  }

  /// The texts of the boxes shown so far, and forgets them.
  std::vector<std::string> TakeTexts() {
    std::vector<std::string> texts;
    for (const MessageBoxRequest& box : boxes.Shown()) texts.push_back(box.text);
    boxes.Clear();
    return texts;
  }

  frmCOMAddIn dialog{platform};
};

}  // namespace tervane::testing
