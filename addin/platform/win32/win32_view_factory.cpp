#include "addin/platform/win32/dialog_window.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::win32 {

Win32DialogViewFactory::Win32DialogViewFactory(HINSTANCE module, DriveSystem& drives,
                                               FileSystem& files, MessageBoxes& boxes,
                                               EventOwner* owner)
    : module_(module), drives_(drives), files_(files), boxes_(boxes), owner_(owner) {
  RegisterDialogWindowClass(module_);
}

// A class registered by a library outlives the library unless removed.
Win32DialogViewFactory::~Win32DialogViewFactory() { UnregisterDialogWindowClass(module_); }

std::unique_ptr<DialogView> Win32DialogViewFactory::CreateView(DialogEvents& events) {
  return std::make_unique<DialogWindow>(module_, drives_, files_, boxes_, events, owner_);
}

}  // namespace tervane::win32
