// The editor's page, reached late-bound: the editor page application object,
// its active page window, and that window's HTML document.
#pragma once

#include <ole2.h>
#include <wrl/client.h>

#include "addin/platform/editor.h"

namespace tervane::win32 {

/// Creates the editor page application object on first use (by its class,
/// from the running editor) and keeps it until this object goes.
class DispatchPageApplication final : public PageApplication {
 public:
  std::unique_ptr<PageWindow> ActivePageWindow() override;

 private:
  Microsoft::WRL::ComPtr<IDispatch> application_;
};

}  // namespace tervane::win32
