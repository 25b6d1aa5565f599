// What the COM classes of Tervane.dll share with the module: its instance
// handle and path, and the count of live objects that keeps it loaded.
#pragma once

#include <ole2.h>

#include <string>

namespace tervane::com {

HINSTANCE ModuleInstance();
/// The full path of Tervane.dll.
std::wstring ModulePath();

/// Every COM object of the module counts itself from construction to
/// destruction; DllCanUnloadNow answers S_OK only at zero.
void ObjectCreated();
void ObjectDestroyed();

/// The HRESULT for the exception being handled, with its description set as
/// the thread's error information.
HRESULT HResultFromCurrentException() noexcept;

}  // namespace tervane::com
