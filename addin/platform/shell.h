#pragma once

#include <string_view>

namespace tervane {

/// Hands an address to the system's handler for it (the "OPEN" verb).
class Shell {
 public:
  virtual ~Shell() = default;
  /// Failures are not reported: the caller carries on either way.
  virtual void Open(std::string_view address) = 0;
};

}  // namespace tervane
