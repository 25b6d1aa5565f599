// TervaneWindow.exe: the link builder's window on a page on disk, the page
// standing where the editor's open page would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tervane::window {

inline constexpr int kExitDone = 0;
inline constexpr int kExitPage = 3;  // the page cannot be opened

/// Opens the window on the page named by the first argument (UTF-8; with
/// none, the user is asked for one) and runs until the window is closed.
/// Returns the exit status: kExitDone after the window was closed or the
/// question cancelled, kExitPage when the page cannot be opened (the user
/// has been told why).
int RunWindow(HINSTANCE module, const std::vector<std::string>& arguments);

}  // namespace tervane::window
