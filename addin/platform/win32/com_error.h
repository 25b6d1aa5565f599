// Failures of Win32 and COM calls as the platform layer's Error: the number
// is the HRESULT, the description what the system says of it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "addin/platform/error.h"

namespace tervane::win32 {

/// The system's description of an HRESULT or Win32 error code.
std::string SystemMessage(HRESULT hr);

/// Throws Error(hr, context + ": " + the system's description) when `hr`
/// failed.
void ThrowIfFailed(HRESULT hr, std::string_view context);

/// Throws Error for the calling thread's last Win32 error.
[[noreturn]] void ThrowLastError(std::string_view context);

}  // namespace tervane::win32
