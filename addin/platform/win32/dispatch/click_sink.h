// The receiver of a command bar button's events, advised on the button's
// connection point. The host calls it; nothing leaves its Invoke.
#pragma once

#include <ole2.h>
#include <wrl/client.h>

#include <functional>
#include <memory>

#include "addin/platform/command_bars.h"
#include "addin/platform/win32/event_owner.h"

namespace tervane::win32 {

/// Advises a sink on `button`'s connection point for the button events
/// interface; `onClick` runs for each Click until the hook is dropped, as an
/// event of `owner` (may be null). A failure of `onClick` goes back to the
/// event source as an exception. Error when the object has no such
/// connection point (not a button).
std::unique_ptr<EventHook> HookButtonClick(IDispatch* button, std::function<void()> onClick,
                                           EventOwner* owner);

long LiveClickSinkCount();

}  // namespace tervane::win32
