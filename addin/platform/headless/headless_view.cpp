#include "addin/platform/headless/headless_view.h"

#include "addin/dialog/linkaddress/texts.h"

namespace tervane {

HeadlessDialogView::HeadlessDialogView(DriveSystem& drives, FileSystem& files, DialogEvents& events)
    : location_(std::string(texts::kLocationInitial)),
      optWithText_(modes_, 0),
      optWithImg_(modes_, 1),
      optImgOnly_(modes_, 2),
      drive1_(drives, events, DriveSpecification(drives.CurrentFolder(), drives.Style())),
      dir1_(files, drives.Style(), events, drives.CurrentFolder()),
      file1_(files, drives.CurrentFolder()) {
  controls_.Location = &location_;
  for (int i = 0; i < 4; ++i) {
    filter_[i] = std::make_unique<HeadlessCheckBox>(events, i);
    controls_.Filter[i] = filter_[i].get();
  }
  controls_.OptWithText = &optWithText_;
  controls_.OptWithImg = &optWithImg_;
  controls_.OptImgOnly = &optImgOnly_;
  controls_.Drive1 = &drive1_;
  controls_.Dir1 = &dir1_;
  controls_.File1 = &file1_;
}

HeadlessDialogView::~HeadlessDialogView() {
  if (registeredAs_ && *registeredAs_ == this) *registeredAs_ = nullptr;
}

HeadlessViewFactory::~HeadlessViewFactory() {
  if (last_) last_->registeredAs_ = nullptr;
}

std::unique_ptr<DialogView> HeadlessViewFactory::CreateView(DialogEvents& events) {
  auto view = std::make_unique<HeadlessDialogView>(drives_, files_, events);
  if (last_) last_->registeredAs_ = nullptr;
  last_ = view.get();
  view->registeredAs_ = &last_;
  return view;
}

}  // namespace tervane
