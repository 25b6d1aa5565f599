// Message boxes. The add-in's boxes have no owner window.
#pragma once

#include <string>

namespace tervane {

enum class MsgButtons { kOk, kRetryCancel, kYesNo, kYesNoCancel };
enum class MsgIcon { kNone, kStop, kQuestion, kInformation };
enum class MsgAnswer { kOk, kCancel, kRetry, kYes, kNo };

struct MessageBoxRequest {
  std::string text;
  std::string title;
  MsgButtons buttons = MsgButtons::kOk;
  MsgIcon icon = MsgIcon::kNone;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  /// Shows a box and waits until the user closes it.
  virtual MsgAnswer Show(const MessageBoxRequest& request) = 0;
};

}  // namespace tervane
