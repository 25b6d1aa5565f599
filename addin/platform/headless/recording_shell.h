#pragma once

#include <string>
#include <vector>

#include "addin/platform/shell.h"

namespace tervane {

/// A shell that only notes the addresses it was asked to open.
class RecordingShell : public Shell {
 public:
  void Open(std::string_view address) override { opened_.emplace_back(address); }
  const std::vector<std::string>& Opened() const { return opened_; }

 private:
  std::vector<std::string> opened_;
};

}  // namespace tervane
