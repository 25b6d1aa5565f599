// Owners for the automation types that cross IDispatch: BSTR and VARIANT,
// and the conversions the late-bound calls need.
#pragma once

#include <ole2.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "addin/platform/win32/unique_handle.h"

namespace tervane::win32 {

namespace detail {
inline void FreeBstr(BSTR text) { ::SysFreeString(text); }
}  // namespace detail

using UniqueBstr = UniqueHandle<BSTR, detail::FreeBstr, detail::Null<BSTR>>;

/// A BSTR holding `utf8` as UTF-16. Error when out of memory.
UniqueBstr MakeBstr(std::string_view utf8);

/// A VARIANT that clears itself.
class Variant {
 public:
  Variant() { ::VariantInit(&value_); }
  ~Variant() { ::VariantClear(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { ::VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant String(std::string_view utf8);
  static Variant Int(std::int32_t value);
  static Variant Dispatch(IDispatch* object);
  /// An optional argument left out: the callee takes its default.
  static Variant Missing();

  const VARIANT& get() const { return value_; }
  /// Clears the value and hands it out to be filled.
  VARIANT* put() {
    ::VariantClear(&value_);
    return &value_;
  }

  /// The value as text (numbers and the like converted). Error when it
  /// cannot be.
  std::string ToString() const;
  std::int32_t ToInt() const;
  /// The object held, or null for an empty reference (Nothing, empty, null).
  /// Error for values that are no object.
  Microsoft::WRL::ComPtr<IDispatch> ToDispatch() const;

 private:
  VARIANT value_;
};

}  // namespace tervane::win32
