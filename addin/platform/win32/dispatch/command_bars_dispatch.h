// The host application, its command bars and the add-in instance, reached
// late-bound through the IDispatch objects the editor hands over at
// connection. Each wrapper keeps its object for as long as it lives.
#pragma once

#include <ole2.h>
#include <wrl/client.h>

#include <memory>

#include "addin/platform/command_bars.h"
#include "addin/platform/win32/event_owner.h"

namespace tervane::win32 {

/// Clicks of the buttons reached through it are events of `owner` (may be
/// null).
std::shared_ptr<HostApplication> MakeDispatchHostApplication(
    Microsoft::WRL::ComPtr<IDispatch> application, EventOwner* owner = nullptr);
std::unique_ptr<AddInInstance> MakeDispatchAddInInstance(
    Microsoft::WRL::ComPtr<IDispatch> addInInst);

}  // namespace tervane::win32
