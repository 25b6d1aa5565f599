// Message boxes without a screen: each box is recorded, handed to an optional
// observer, and answered from a queue of scripted answers. Without a scripted
// answer a box gets the answer that ends its question: OK, Cancel, or No.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "addin/platform/message_box.h"

namespace tervane {

class RecordingMessageBoxes : public MessageBoxes {
 public:
  MsgAnswer Show(const MessageBoxRequest& request) override;

  void QueueAnswer(MsgAnswer answer) { answers_.push_back(answer); }
  void SetObserver(std::function<void(const MessageBoxRequest&)> observer) {
    observer_ = std::move(observer);
  }
  const std::vector<MessageBoxRequest>& Shown() const { return shown_; }
  void Clear() { shown_.clear(); }

 private:
  std::deque<MsgAnswer> answers_;
  std::vector<MessageBoxRequest> shown_;
  std::function<void(const MessageBoxRequest&)> observer_;
};

}  // namespace tervane
