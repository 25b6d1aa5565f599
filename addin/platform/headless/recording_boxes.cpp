#include "addin/platform/headless/recording_boxes.h"

namespace tervane {

MsgAnswer RecordingMessageBoxes::Show(const MessageBoxRequest& request) {
  shown_.push_back(request);
  if (observer_) observer_(request);
  if (!answers_.empty()) {
    const MsgAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  switch (request.buttons) {
    case MsgButtons::kOk:
      return MsgAnswer::kOk;
    case MsgButtons::kRetryCancel:
    case MsgButtons::kYesNoCancel:
      return MsgAnswer::kCancel;
    case MsgButtons::kYesNo:
      return MsgAnswer::kNo;
  }
  return MsgAnswer::kCancel;
}

}  // namespace tervane
