// The link builder's window without a window: its controls in memory, for
// the command line and for tests.
#pragma once

#include <memory>

#include "addin/platform/dialog_view.h"
#include "addin/platform/drives.h"
#include "addin/platform/file_system.h"
#include "addin/platform/headless/headless_controls.h"

namespace tervane {

class HeadlessDialogView : public DialogView {
 public:
  HeadlessDialogView(DriveSystem& drives, FileSystem& files, DialogEvents& events);
  ~HeadlessDialogView() override;
  const DialogControls& Controls() override { return controls_; }
  void Show() override { shown_ = true; }
  void BringToFront() override { ++broughtToFront_; }

  bool IsShown() const { return shown_; }
  int TimesBroughtToFront() const { return broughtToFront_; }

 private:
  HeadlessTextBox location_;
  std::array<std::unique_ptr<HeadlessCheckBox>, 4> filter_;
  HeadlessOptionGroup modes_;
  HeadlessOptionButton optWithText_;
  HeadlessOptionButton optWithImg_;
  HeadlessOptionButton optImgOnly_;
  HeadlessDriveList drive1_;
  HeadlessDirList dir1_;
  HeadlessFileList file1_;
  DialogControls controls_;
  bool shown_ = false;
  int broughtToFront_ = 0;
  HeadlessDialogView** registeredAs_ = nullptr;
  friend class HeadlessViewFactory;
};

class HeadlessViewFactory : public DialogViewFactory {
 public:
  HeadlessViewFactory(DriveSystem& drives, FileSystem& files) : drives_(drives), files_(files) {}
  std::unique_ptr<DialogView> CreateView(DialogEvents& events) override;
  ~HeadlessViewFactory() override;
  /// The view most recently created, while it lives; nullptr otherwise.
  HeadlessDialogView* LastView() const { return last_; }

 private:
  DriveSystem& drives_;
  FileSystem& files_;
  HeadlessDialogView* last_ = nullptr;
};

}  // namespace tervane
