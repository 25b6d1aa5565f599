// Identifiers of the editor's and the Office command bars' own interfaces and
// classes that the add-in reaches.
#pragma once

#include "addin/platform/win32/dispatch/guid.h"

namespace tervane::win32 {

/// A command bar button's own interface: a control that answers to it is a
/// button.
inline constexpr GUID kIidCommandBarButton = GuidFromText("{000C030E-0000-0000-C000-000000000046}");

/// The events interface of a command bar button; its member 1 is Click.
inline constexpr GUID kDiidCommandBarButtonEvents =
    GuidFromText("{000C0351-0000-0000-C000-000000000046}");
inline constexpr DISPID kDispidButtonClick = 1;

/// The editor page application object.
inline constexpr GUID kClsidPageApplication =
    GuidFromText("{04DF1015-7007-11D1-83BC-006097ABE675}");

}  // namespace tervane::win32
