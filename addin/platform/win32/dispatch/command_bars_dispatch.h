// The host application, its command bars and the add-in instance, reached
// late-bound through the IDispatch objects the editor hands over at
// connection. Each wrapper keeps its object for as long as it lives.
#pragma once

#include <ole2.h>
#include <wrl/client.h>

#include <memory>

#include "addin/platform/command_bars.h"

namespace tervane::win32 {

std::shared_ptr<HostApplication> MakeDispatchHostApplication(
    Microsoft::WRL::ComPtr<IDispatch> application);
std::unique_ptr<AddInInstance> MakeDispatchAddInInstance(
    Microsoft::WRL::ComPtr<IDispatch> addInInst);

}  // namespace tervane::win32
