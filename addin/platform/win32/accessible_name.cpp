#include "addin/platform/win32/accessible_name.h"

#include <oleacc.h>
#include <wrl/client.h>

#include "addin/platform/win32/utf16.h"

namespace tervane::win32 {
namespace {

// Declared here: MinGW defines them only in a library that XP's oleacc does
// not match by name.
constexpr CLSID kClsidAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIidAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kPropIdAccName = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

Microsoft::WRL::ComPtr<IAccPropServices> Services() {
  Microsoft::WRL::ComPtr<IAccPropServices> services;
  if (FAILED(::CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                kIidAccPropServices,
                                reinterpret_cast<void**>(services.GetAddressOf())))) {
    return nullptr;
  }
  return services;
}

}  // namespace

void SetAccessibleName(HWND control, std::string_view name) noexcept {
  try {
    if (const auto services = Services()) {
      services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               kPropIdAccName, Widen(name).c_str());
    }
  } catch (...) {
    // Out of memory while widening: the control keeps the system's name.
  }
}

void ClearAccessibleName(HWND control) noexcept {
  if (const auto services = Services()) {
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             &kPropIdAccName, 1);
  }
}

}  // namespace tervane::win32
