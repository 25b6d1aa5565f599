// The one exception type that crosses the platform layer. It carries a number
// and a description, the two things an error report shows, and for a failed
// Windows call its error code, so that a program can say why in its own
// language.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tervane {

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, const std::string& description, std::uint32_t systemCode = 0)
      : std::runtime_error(description), number_(number), systemCode_(systemCode) {}
  std::int32_t Number() const { return number_; }
  /// The Windows error code of the call that failed; 0 when none did.
  std::uint32_t SystemCode() const { return systemCode_; }

 private:
  std::int32_t number_;
  std::uint32_t systemCode_;
};

// Error numbers the platform layer reports, after the automation runtime's.
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrDeviceUnavailable = 68;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrObjectNotSet = 91;
inline constexpr std::int32_t kErrInvalidCall = 5;
inline constexpr std::int32_t kErrTypeMismatch = 13;
inline constexpr std::int32_t kErrPathFileAccess = 75;

}  // namespace tervane
