// Self-registration, per user (HKEY_CURRENT_USER\Software\Classes), so that
// no administrator rights are needed: the class, its programmatic
// identifier, the type library and our own interface, and the editor's
// add-in record. The IDTExtensibility2 interface key is shared by every
// add-in on the machine and is never written or removed here.
#pragma once

#include <ole2.h>

#include <string>

namespace tervane::com {

/// Writes every key for the DLL at `modulePath`. On failure what this call
/// wrote is undone: keys it created go, values it overwrote get their
/// earlier contents back, and an earlier registration stays as it was.
HRESULT RegisterServer(const std::wstring& modulePath) noexcept;
/// Removes our keys, unless the class is registered for a file other than
/// `modulePath` (another copy's registration stays); keys already gone are
/// no failure.
HRESULT UnregisterServer(const std::wstring& modulePath) noexcept;

}  // namespace tervane::com
