#include "addin/platform/win32/dispatch/variant.h"

#include <utility>

#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {

UniqueBstr MakeBstr(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  UniqueBstr text(::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
  if (!text) ThrowIfFailed(E_OUTOFMEMORY, "SysAllocStringLen");
  return text;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    ::VariantClear(&value_);
    value_ = other.value_;
    ::VariantInit(&other.value_);
  }
  return *this;
}

Variant Variant::String(std::string_view utf8) {
  Variant v;
  v.value_.bstrVal = MakeBstr(utf8).release();
  v.value_.vt = VT_BSTR;
  return v;
}

Variant Variant::Int(std::int32_t value) {
  Variant v;
  v.value_.vt = VT_I4;
  v.value_.lVal = value;
  return v;
}

Variant Variant::Dispatch(IDispatch* object) {
  Variant v;
  v.value_.vt = VT_DISPATCH;
  v.value_.pdispVal = object;
  if (object) object->AddRef();
  return v;
}

Variant Variant::Missing() {
  Variant v;
  v.value_.vt = VT_ERROR;
  v.value_.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

std::string Variant::ToString() const {
  if (value_.vt == VT_BSTR) {
    return Narrow(std::wstring_view(value_.bstrVal, ::SysStringLen(value_.bstrVal)));
  }
  Variant text;
  ThrowIfFailed(::VariantChangeType(text.put(), const_cast<VARIANT*>(&value_), 0, VT_BSTR),
                "VariantChangeType");
  return text.ToString();
}

std::int32_t Variant::ToInt() const {
  Variant number;
  ThrowIfFailed(::VariantChangeType(number.put(), const_cast<VARIANT*>(&value_), 0, VT_I4),
                "VariantChangeType");
  return number.value_.lVal;
}

Microsoft::WRL::ComPtr<IDispatch> Variant::ToDispatch() const {
  Microsoft::WRL::ComPtr<IDispatch> object;
  switch (value_.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return object;
    case VT_DISPATCH:
      object = value_.pdispVal;
      return object;
    case VT_UNKNOWN:
      if (value_.punkVal) {
        ThrowIfFailed(value_.punkVal->QueryInterface(IID_PPV_ARGS(&object)), "IDispatch");
      }
      return object;
    default:
      ThrowIfFailed(DISP_E_TYPEMISMATCH, "object expected");
      return object;
  }
}

}  // namespace tervane::win32
