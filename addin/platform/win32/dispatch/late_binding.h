// The one way into the editor's objects: every call resolves the member by
// name, passes the arguments in the order IDispatch wants them (last first),
// and turns the callee's exception information into an Error that the
// connection code can report (number and description).
#pragma once

#include <ole2.h>

#include <initializer_list>
#include <string_view>

#include "addin/platform/win32/dispatch/variant.h"

namespace tervane::win32 {

/// Arguments in the order a caller writes them; Variant::Missing() for an
/// optional argument left out before one that is given.
using Arguments = std::initializer_list<Variant>;

/// Reads a property (or calls a member for its value): `object.name(args)`.
Variant Get(IDispatch* object, std::string_view name, Arguments args = {});
/// Calls a method: `object.name args`.
Variant Call(IDispatch* object, std::string_view name, Arguments args = {});
/// Writes a property: `object.name = value`.
void Put(IDispatch* object, std::string_view name, const Variant& value);
/// Reads the object's default value (DISPID_VALUE).
Variant GetDefault(IDispatch* object);

/// The object held by `value`; Error (object variable not set) when it holds
/// no object. `what` names the member for the message.
Microsoft::WRL::ComPtr<IDispatch> RequireObject(const Variant& value, std::string_view what);

}  // namespace tervane::win32
