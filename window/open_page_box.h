// The system's file-open box, for a page to open when none was given.
#pragma once

#include <optional>
#include <string>

namespace tervane::window {

/// Asks for an existing page (HTML files first, or any file). Its full path
/// as UTF-8; nullopt when the user cancels the box.
std::optional<std::string> AskForPage();

}  // namespace tervane::window
