// Taking ownership of a freshly made COM object. MinGW's ComPtr::Attach adds
// a reference (Microsoft's does not), so it cannot be used for that.
#pragma once

#include <wrl/client.h>

namespace tervane::win32 {

/// Owns `fresh`, whose one reference the caller hands over.
template <typename T>
Microsoft::WRL::ComPtr<T> Adopt(T* fresh) {
  Microsoft::WRL::ComPtr<T> owner;
  *owner.ReleaseAndGetAddressOf() = fresh;
  return owner;
}

}  // namespace tervane::win32
