#include "addin/platform/win32/dispatch/late_binding.h"

#include <string>
#include <vector>

#include "addin/platform/error.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {

void RequireTarget(IDispatch* object, std::string_view name) {
  if (!object) {
    throw Error(kErrObjectNotSet,
                "Object variable or With block variable not set (" + std::string(name) + ")");
  }
}

DISPID ResolveName(IDispatch* object, std::string_view name) {
  std::wstring wide = Widen(name);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  ThrowIfFailed(hr, name);
  return id;
}

// The callee's exception information as an Error. The strings it carries are
// ours to free.
[[noreturn]] void ThrowException(EXCEPINFO& info, std::string_view name) {
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  const UniqueBstr source(info.bstrSource);
  const UniqueBstr description(info.bstrDescription);
  const UniqueBstr helpFile(info.bstrHelpFile);
  const std::int32_t number = info.scode != 0 ? static_cast<std::int32_t>(info.scode) : info.wCode;
  std::string text;
  if (description) {
    text = Narrow(std::wstring_view(description.get(), ::SysStringLen(description.get())));
  } else {
    text = std::string(name) + ": " + SystemMessage(number != 0 ? number : DISP_E_EXCEPTION);
  }
  throw Error(number != 0 ? number : static_cast<std::int32_t>(DISP_E_EXCEPTION), text);
}

Variant InvokeId(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT>& reversed,
                 std::string_view name) {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  Variant result;
  EXCEPINFO info{};
  UINT argumentError = 0;
  const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.put(),
                                    &info, &argumentError);
  if (hr == DISP_E_EXCEPTION) ThrowException(info, name);
  ThrowIfFailed(hr, name);
  return result;
}

// The arguments as IDispatch takes them: last first. The VARIANTs are
// shallow copies; `args` keeps owning their contents.
std::vector<VARIANT> Reversed(Arguments args) {
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = args.end(); it != args.begin();) {
    --it;
    reversed.push_back(it->get());
  }
  return reversed;
}

}  // namespace

Variant Get(IDispatch* object, std::string_view name, Arguments args) {
  RequireTarget(object, name);
  std::vector<VARIANT> reversed = Reversed(args);
  return InvokeId(object, ResolveName(object, name), DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                  reversed, name);
}

Variant Call(IDispatch* object, std::string_view name, Arguments args) {
  RequireTarget(object, name);
  std::vector<VARIANT> reversed = Reversed(args);
  return InvokeId(object, ResolveName(object, name), DISPATCH_METHOD, reversed, name);
}

void Put(IDispatch* object, std::string_view name, const Variant& value) {
  RequireTarget(object, name);
  std::vector<VARIANT> reversed{value.get()};
  InvokeId(object, ResolveName(object, name), DISPATCH_PROPERTYPUT, reversed, name);
}

Variant GetDefault(IDispatch* object) {
  RequireTarget(object, "default value");
  std::vector<VARIANT> none;
  return InvokeId(object, DISPID_VALUE, DISPATCH_PROPERTYGET | DISPATCH_METHOD, none,
                  "default value");
}

Microsoft::WRL::ComPtr<IDispatch> RequireObject(const Variant& value, std::string_view what) {
  Microsoft::WRL::ComPtr<IDispatch> object = value.ToDispatch();
  RequireTarget(object.Get(), what);
  return object;
}

}  // namespace tervane::win32
